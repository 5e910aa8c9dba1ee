#include "netware/client_text.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace ClientText {

namespace {

// Bytes 0x80..0x9F. The five the page leaves unassigned map to the C1
// controls of the same value, as the Windows conversion does.
constexpr std::array<char16_t, 32> kHigh {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// Every byte's character, one load per byte: the client's texts are
// decoded several times for every user a scan lists.
constexpr std::array<char16_t, 256> kChars = [] {
    std::array<char16_t, 256> chars {};
    for (std::size_t b = 0; b < chars.size(); ++b)
        chars[b] = b >= 0x80 && b < 0xA0 ? kHigh[b - 0x80] : char16_t(b);
    return chars;
}();

// The byte of one character, or -1.
int toByte(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 0x80 || (u >= 0xA0 && u < 0x100))
        return u;
    for (std::size_t i = 0; i < kHigh.size(); ++i)
        if (kHigh[i] == u)
            return int(0x80 + i);
    return -1;
}

// The bytes of text, with a NUL after them when terminated.
std::optional<QByteArray> encodeBytes(QStringView text, bool terminated)
{
    QByteArray out(text.size() + (terminated ? 1 : 0), Qt::Uninitialized);
    char *d = out.data(); // one detach check, not one per character
    for (qsizetype i = 0; i < text.size(); ++i) {
        const int b = toByte(text[i]);
        if (b < 0)
            return std::nullopt;
        d[i] = char(b);
    }
    if (terminated)
        d[text.size()] = '\0';
    return out;
}

} // namespace

std::optional<QByteArray> encode(QStringView text) { return encodeBytes(text, false); }

std::optional<QByteArray> encodeZ(QStringView text) { return encodeBytes(text, true); }

bool canEncode(QStringView text)
{
    char16_t all = 0; // ASCII, the common case, in one cheap pass
    for (QChar c : text)
        all |= c.unicode();
    if (all < 0x80)
        return true;
    for (QChar c : text)
        if (toByte(c) < 0)
            return false;
    return true;
}

std::optional<std::size_t> encodeInto(QStringView text, char *dst, std::size_t size)
{
    if (!dst || size == 0)
        return std::nullopt;
    const std::size_t n = std::min(std::size_t(text.size()), size - 1);
    // ASCII, nearly every name and path, in one pass without a branch per
    // character: this runs several times for every user a scan lists.
    const char16_t *u = text.utf16();
    char16_t all = 0;
    for (std::size_t i = 0; i < n; ++i) {
        all |= u[i];
        dst[i] = char(u[i]);
    }
    for (qsizetype i = qsizetype(n); i < text.size(); ++i)
        all |= u[i];
    if (all < 0x80) {
        dst[n] = '\0';
        return n;
    }
    for (std::size_t i = 0; i < n; ++i) {
        const int b = toByte(text[qsizetype(i)]);
        if (b < 0) {
            dst[0] = '\0';
            return std::nullopt;
        }
        dst[i] = char(b);
    }
    // The part cut off must be writable too, as when the whole is encoded.
    if (!canEncode(text.mid(qsizetype(n)))) {
        dst[0] = '\0';
        return std::nullopt;
    }
    dst[n] = '\0';
    return n;
}

void decodeInto(const char *bytes, std::size_t size, QString *out)
{
    if (!bytes) {
        out->clear();
        return;
    }
    const void *nul = std::memchr(bytes, 0, size);
    const std::size_t n = nul ? std::size_t(static_cast<const char *>(nul) - bytes) : size;
    out->resize(qsizetype(n));
    QChar *d = out->data();
    for (std::size_t i = 0; i < n; ++i)
        d[i] = QChar(kChars[static_cast<unsigned char>(bytes[i])]);
}

QString decode(const char *bytes, std::size_t size)
{
    QString out;
    if (bytes)
        decodeInto(bytes, size, &out);
    return out;
}

QString decode(const QByteArray &bytes) { return decode(bytes.constData(), bytes.size()); }

QString upper(QStringView text)
{
    QString out = text.toString();
    for (QChar &c : out) {
        const QChar up = c.toUpper();
        if (up != c && toByte(up) >= 0)
            c = up;
    }
    return out;
}

} // namespace ClientText
