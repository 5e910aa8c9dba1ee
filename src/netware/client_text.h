// Text exchanged with the NetWare client: one byte per character in the
// client's ANSI code page, Windows-1252, converted here and nowhere else.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <cstddef>
#include <optional>

namespace ClientText {

// The bytes of text, without a terminating NUL; nothing when a character
// has no place in the code page (a NUL inside text is kept as a zero byte).
std::optional<QByteArray> encode(QStringView text);
// The same with one NUL appended, ready for a const char * input.
std::optional<QByteArray> encodeZ(QStringView text);
bool canEncode(QStringView text);
// Writes text into a buffer of size bytes, cut to fit, always NUL-terminated,
// without an allocation; the number of bytes before the NUL, or nothing (and
// an empty text written) when a character of text has no place in the page.
std::optional<std::size_t> encodeInto(QStringView text, char *dst, std::size_t size);

// The characters before the first NUL of a buffer of size bytes (all of it
// when it holds none). Every byte decodes.
QString decode(const char *bytes, std::size_t size);
QString decode(const QByteArray &bytes);
// The same into out, reusing its buffer: the client calls decode an input
// each, thousands of times in one scan.
void decodeInto(const char *bytes, std::size_t size, QString *out);

// Upper case that never leaves the code page: a character whose upper case
// the page cannot hold (µ, ß) stays as it is.
QString upper(QStringView text);

} // namespace ClientText
