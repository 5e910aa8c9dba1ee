// Buffers filled once and in full while a description loads: its text, its
// parsed values, its entries' lists. Each first touch of a 4 kB page is a
// fault, and on virtual machines a fault can cost as much as parsing a
// kilobyte; 2 MB pages take one fault where 512 were.
#pragma once

#include <QtGlobal>

#include <cstddef>

namespace netsim {

// Asks for 2 MB pages over the whole 2 MB blocks of [data, data + bytes),
// where the system has them; a hint that changes no content.
void adviseLargePages(const void *data, size_t bytes);

// Reserves room for n entries, on large pages when that is a lot of room.
template<class List> void reserveLarge(List &list, qsizetype n)
{
    list.reserve(n);
    adviseLargePages(list.constData(), size_t(list.capacity()) * sizeof(*list.constData()));
}

} // namespace netsim
