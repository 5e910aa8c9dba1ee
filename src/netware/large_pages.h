// Buffers filled once and in full while a description loads: its text, its
// parsed values, its entries' lists. Each first touch of a 4 kB page is a
// fault, and on virtual machines a fault can cost as much as parsing a
// kilobyte; 2 MB pages take one fault where 512 were.
#pragma once

#include <QList>
#include <QtGlobal>

#include <cstddef>

namespace netsim {

// Asks for 2 MB pages over the whole 2 MB blocks of [data, data + bytes),
// where the system has them; a hint that changes no content.
void adviseLargePages(const void *data, size_t bytes);

// The same for a buffer about to be written in full, whose pages are then
// also mapped in one call rather than a fault each: on the virtual machines
// measured a fault costs about 10 µs, and a 50,000-entry load took 10,000.
void prepareToFill(const void *data, size_t bytes);

// Reserves room for n entries that are about to be written.
template<class List> void reserveLarge(List &list, qsizetype n)
{
    list.reserve(n);
    prepareToFill(list.constData(), size_t(list.capacity()) * sizeof(*list.constData()));
}

// n entries of T(), their pages prepared before they are written.
template<class T> QList<T> sizedLarge(qsizetype n)
{
    QList<T> list;
    reserveLarge(list, n);
    list.resize(n);
    return list;
}

} // namespace netsim
