#include "netware/json_reader.h"

#include "netware/large_pages.h"

#include <algorithm>
#include <array>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstring>

namespace netsim::json {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The bytes a string may hold as they are, without a closer look.
constexpr auto kPlain = [] {
    std::array<bool, 256> plain {};
    for (int c = 0x20; c < 0x80; ++c)
        plain[c] = c != '"' && c != '\\';
    return plain;
}();

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Four hex digits at p (the caller has checked they are there and valid).
char16_t hex4(const char *p)
{
    return char16_t(hexValue(p[0]) << 12 | hexValue(p[1]) << 8 | hexValue(p[2]) << 4
                    | hexValue(p[3]));
}

bool isHighSurrogate(char16_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool isLowSurrogate(char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

} // namespace

class Document::Parser
{
    // A value's kind (its index in Document::kKinds) by its first character, 0
    // when no value starts with it.
    static constexpr auto kKindOfFirst = [] {
        std::array<uint32_t, 256> kinds {};
        for (uint32_t k = 1; k < 8; ++k)
            kinds[uchar(kKinds[k])] = k;
        kinds['-'] = 4;
        for (int c = '1'; c <= '9'; ++c)
            kinds[c] = 4;
        return kinds;
    }();

public:
    Parser(const char *begin, const char *end, std::vector<Node> &nodes)
        : m_begin(begin), m_p(begin), m_end(end), m_nodes(nodes)
    {
    }

    bool document()
    {
        skipSpace();
        if (m_p == m_end || *m_p != '{' || !value(0, 0))
            return false;
        skipSpace();
        return m_p == m_end;
    }

private:
    uint32_t offset() const { return uint32_t(m_p - m_begin); }

    void skipSpace()
    {
        while (m_p < m_end && uchar(*m_p) <= ' '
               && (*m_p == ' ' || *m_p == '\n' || *m_p == '\r' || *m_p == '\t'))
            ++m_p;
    }

    bool value(int depth, uint32_t key)
    {
        skipSpace();
        if (m_p == m_end)
            return false;
        const uint32_t index = uint32_t(m_nodes.size());
        const uint32_t kind = kKindOfFirst[uchar(*m_p)];
        if (!kind)
            return false;
        m_nodes.push_back({offset() | kind << kKindShift, 0, key});
        switch (*m_p) {
        case '{':
            return container(depth, index, '}');
        case '[':
            return container(depth, index, ']');
        case '"': {
            ++m_p;
            bool escaped = false;
            if (!string(&escaped))
                return false;
            if (escaped)
                m_nodes[index].at |= kEscaped;
            break;
        }
        case 't':
            if (!literal("true"))
                return false;
            break;
        case 'f':
            if (!literal("false"))
                return false;
            break;
        case 'n':
            if (!literal("null"))
                return false;
            break;
        default:
            if (!number())
                return false;
        }
        m_nodes[index].end = offset();
        return true;
    }

    bool container(int depth, uint32_t index, char close)
    {
        if (depth >= kMaxDepth)
            return false;
        ++m_p;
        skipSpace();
        if (m_p < m_end && *m_p == close) {
            ++m_p;
            m_nodes[index].end = uint32_t(m_nodes.size());
            return true;
        }
        for (;;) {
            uint32_t key = 0;
            if (close == '}') {
                skipSpace();
                if (m_p == m_end || *m_p != '"')
                    return false;
                ++m_p;
                key = offset();
                bool escaped = false;
                if (!string(&escaped))
                    return false;
                key |= escaped ? kEscaped : 0;
                skipSpace();
                if (m_p == m_end || *m_p != ':')
                    return false;
                ++m_p;
            }
            if (!value(depth + 1, key))
                return false;
            skipSpace();
            if (m_p == m_end)
                return false;
            if (*m_p == close)
                break;
            if (*m_p++ != ',')
                return false;
        }
        ++m_p;
        m_nodes[index].end = uint32_t(m_nodes.size());
        return true;
    }

    bool literal(const char *word)
    {
        const size_t n = std::strlen(word);
        if (size_t(m_end - m_p) < n || std::memcmp(m_p, word, n) != 0)
            return false;
        m_p += n;
        return true;
    }

    // Past the closing quote; m_p starts just after the opening one.
    bool string(bool *escaped)
    {
        // Qt drops a raw U+FEFF that starts a text without escapes and keeps
        // it in one with: left to Qt.
        if (m_end - m_p >= 3 && std::memcmp(m_p, "\xef\xbb\xbf", 3) == 0)
            return false;
        for (;;) {
            while (m_p < m_end && kPlain[uchar(*m_p)])
                ++m_p;
            if (m_p == m_end)
                return false;
            const unsigned char c = uchar(*m_p);
            if (c == '"') {
                ++m_p;
                return true;
            }
            if (c < 0x20)
                return false;
            if (c == '\\') {
                *escaped = true;
                if (!escape())
                    return false;
            } else if (!utf8()) {
                return false;
            }
        }
    }

    bool escape()
    {
        ++m_p;
        if (m_p == m_end)
            return false;
        switch (*m_p) {
        case '"':
        case '\\':
        case '/':
        case 'b':
        case 'f':
        case 'n':
        case 'r':
        case 't':
            ++m_p;
            return true;
        case 'u': {
            ++m_p;
            char16_t u = 0;
            if (!unit(&u) || isLowSurrogate(u))
                return false;
            if (!isHighSurrogate(u))
                return true;
            char16_t low = 0;
            if (m_end - m_p < 2 || m_p[0] != '\\' || m_p[1] != 'u')
                return false;
            m_p += 2;
            return unit(&low) && isLowSurrogate(low);
        }
        default:
            return false;
        }
    }

    bool unit(char16_t *u)
    {
        if (m_end - m_p < 4)
            return false;
        for (int i = 0; i < 4; ++i)
            if (hexValue(m_p[i]) < 0)
                return false;
        *u = hex4(m_p);
        m_p += 4;
        return true;
    }

    // One well-formed UTF-8 sequence of two to four bytes: no overlong
    // forms, no surrogates, nothing past U+10FFFF.
    bool utf8()
    {
        const unsigned char c = uchar(*m_p);
        int more = 0;
        unsigned char lo = 0x80, hi = 0xBF; // allowed range of the second byte
        if (c >= 0xC2 && c <= 0xDF) {
            more = 1;
        } else if (c >= 0xE0 && c <= 0xEF) {
            more = 2;
            lo = c == 0xE0 ? 0xA0 : 0x80;
            hi = c == 0xED ? 0x9F : 0xBF;
        } else if (c >= 0xF0 && c <= 0xF4) {
            more = 3;
            lo = c == 0xF0 ? 0x90 : 0x80;
            hi = c == 0xF4 ? 0x8F : 0xBF;
        } else {
            return false;
        }
        if (m_end - m_p <= more)
            return false;
        for (int i = 1; i <= more; ++i) {
            const unsigned char b = uchar(m_p[i]);
            if (b < (i == 1 ? lo : 0x80) || b > (i == 1 ? hi : 0xBF))
                return false;
        }
        m_p += 1 + more;
        return true;
    }

    // Only numbers whose value is beyond doubt: finite, not rounded to zero
    // or into the subnormal range, with a short exponent. A short integer
    // needs no conversion to know that.
    bool number()
    {
        const char *start = m_p;
        if (*m_p == '-')
            ++m_p;
        if (m_p == m_end)
            return false;
        if (*m_p == '0') {
            ++m_p;
        } else if (*m_p >= '1' && *m_p <= '9') {
            while (m_p < m_end && isDigit(*m_p))
                ++m_p;
        } else {
            return false;
        }
        bool plain = true;
        if (m_p < m_end && *m_p == '.') {
            plain = false;
            if (!digits(0))
                return false;
        }
        if (m_p < m_end && (*m_p == 'e' || *m_p == 'E')) {
            plain = false;
            if (m_p + 1 < m_end && (m_p[1] == '+' || m_p[1] == '-'))
                ++m_p;
            if (!digits(3))
                return false;
        }
        if (plain && m_p - start <= 15)
            return true;
        double d = 0;
        const auto [end, ec] = std::from_chars(start, m_p, d);
        if (ec != std::errc() || end != m_p || !std::isfinite(d))
            return false;
        return std::fabs(d) >= DBL_MIN; // zero here may be an underflow
    }

    // Skips the mark at m_p and the digits after it: at least one, at most
    // max when max > 0.
    bool digits(int max)
    {
        ++m_p;
        const char *first = m_p;
        while (m_p < m_end && isDigit(*m_p))
            ++m_p;
        return m_p > first && (max == 0 || m_p - first <= max);
    }

    const char *m_begin;
    const char *m_p;
    const char *m_end;
    std::vector<Node> &m_nodes;
};

bool Document::parse(QByteArrayView text)
{
    m_text = text.data();
    m_size = size_t(text.size());
    m_recent = {};
    m_nodes.clear();
    if (text.size() >= qsizetype(kOffset))
        return false;
    // Generous: pages reserved but never written cost no memory.
    m_nodes.reserve(size_t(text.size()) / 8 + 16);
    adviseLargePages(m_nodes.data(), m_nodes.capacity() * sizeof(Node));
    Parser parser(text.data(), text.data() + text.size(), m_nodes);
    if (parser.document())
        return true;
    m_nodes.clear();
    return false;
}

QString Document::decode(uint32_t offset, bool escaped) const
{
    const char *s = m_text + offset;
    const char *end = s;
    while (*end != '"')
        end += *end == '\\' ? 2 : 1;
    if (!escaped)
        return QString::fromUtf8(s, qsizetype(end - s));
    // The text was checked while parsing: escapes, UTF-8 and the closing
    // quote are all well-formed here. UTF-16 never needs more units than
    // the raw text has bytes.
    QString out(end - s, Qt::Uninitialized);
    char16_t *d = reinterpret_cast<char16_t *>(out.data());
    for (;;) {
        const unsigned char c = uchar(*s);
        if (c == '"')
            break;
        if (c < 0x80 && c != '\\') {
            *d++ = c;
            ++s;
        } else if (c >= 0x80) {
            const int more = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : 1;
            char32_t cp = c & (0x3F >> more);
            for (int i = 1; i <= more; ++i)
                cp = cp << 6 | (uchar(s[i]) & 0x3F);
            s += 1 + more;
            if (cp >= 0x10000) {
                *d++ = char16_t(0xD800 + ((cp - 0x10000) >> 10));
                *d++ = char16_t(0xDC00 + (cp & 0x3FF));
            } else {
                *d++ = char16_t(cp);
            }
        } else {
            const char e = s[1];
            s += 2;
            switch (e) {
            case 'b':
                *d++ = u'\b';
                break;
            case 'f':
                *d++ = u'\f';
                break;
            case 'n':
                *d++ = u'\n';
                break;
            case 'r':
                *d++ = u'\r';
                break;
            case 't':
                *d++ = u'\t';
                break;
            case 'u':
                *d++ = hex4(s); // a surrogate pair is two escapes, each its unit
                s += 4;
                break;
            default: // '"', '\\' and '/' stand for themselves
                *d++ = char16_t(e);
            }
        }
    }
    out.truncate(d - reinterpret_cast<const char16_t *>(out.constData()));
    return out;
}

bool Document::keyIs(uint32_t key, QLatin1String name) const
{
    const uint32_t offset = key & kOffset;
    if (key & kEscaped)
        return decode(offset, true) == name;
    const char *k = m_text + offset;
    // The name and the quote after it: within the text, since at least
    // `":0}` follows a key.
    return offset + size_t(name.size()) + 1 <= m_size
        && std::memcmp(k, name.data(), size_t(name.size())) == 0 && k[name.size()] == '"';
}

char Value::kind() const
{
    if (!m_doc)
        return 0;
    return Document::kindOf(m_doc->m_nodes[m_node].at);
}

double Value::toDouble() const
{
    if (!isDouble())
        return 0;
    const Document::Node &n = m_doc->m_nodes[m_node];
    const char *start = m_doc->m_text + (n.at & Document::kOffset);
    const char *end = m_doc->m_text + n.end;
    // Most numbers are short integers: exact in a double, no parse needed.
    if (end - start <= 15
        && std::all_of(start, end, [](char c) { return c == '-' || isDigit(c); })) {
        int64_t v = 0;
        for (const char *p = *start == '-' ? start + 1 : start; p < end; ++p)
            v = v * 10 + (*p - '0');
        return *start == '-' ? -double(v) : double(v);
    }
    double d = 0;
    std::from_chars(start, end, d);
    return d;
}

QString Value::toString() const
{
    if (!isString())
        return {};
    const Document::Node &n = m_doc->m_nodes[m_node];
    const uint32_t begin = (n.at & Document::kOffset) + 1;
    const QByteArrayView raw(m_doc->m_text + begin, qsizetype(n.end - 1 - begin));
    // Entries in a row often repeat a member's text (the file's path, a
    // login time, a user's name): it is made once and shared, which also
    // stores it once.
    Document::Recent &recent = m_doc->m_recent[uchar(m_doc->m_text[n.key & Document::kOffset])];
    if (recent.raw.size() == raw.size() && !raw.isEmpty() && recent.raw == raw)
        return recent.text;
    recent.raw = raw;
    recent.text = n.at & Document::kEscaped ? m_doc->decode(begin, true) : QString::fromUtf8(raw);
    return recent.text;
}

qsizetype Value::offset() const
{
    return m_doc ? qsizetype(m_doc->m_nodes[m_node].at & Document::kOffset) : -1;
}

qsizetype Value::closingOffset() const
{
    if (!isArray() && !isObject())
        return -1;
    // The text was checked: brackets pair up outside strings.
    const char *begin = m_doc->m_text;
    const char *p = begin + offset();
    for (int depth = 0;; ++p) {
        if (*p == '"') {
            for (++p; *p != '"'; ++p)
                p += *p == '\\';
        } else if (*p == '[' || *p == '{') {
            ++depth;
        } else if ((*p == ']' || *p == '}') && --depth == 0) {
            return p - begin;
        }
    }
}

Array Value::toArray() const { return isArray() ? Array(m_doc, m_node) : Array(); }

Object Value::toObject() const { return isObject() ? Object(m_doc, m_node) : Object(); }

Array::Array(const Document *doc, uint32_t node) : m_doc(doc), m_node(node)
{
    for (uint32_t c = node + 1; c < doc->m_nodes[node].end; c = doc->next(c))
        ++m_size;
}

Value Array::at(qsizetype i) const
{
    if (i < 0 || i >= m_size)
        return {};
    if (m_cursor < 0 || i < m_cursor) {
        m_cursor = 0;
        m_cursorNode = m_node + 1;
    }
    for (; m_cursor < i; ++m_cursor)
        m_cursorNode = m_doc->next(m_cursorNode);
    return Value(m_doc, m_cursorNode);
}

Value Object::value(QLatin1String key) const
{
    if (!m_doc)
        return {};
    uint32_t found = 0;
    const char first = key.isEmpty() ? '"' : key.data()[0];
    for (uint32_t c = m_node + 1; c < m_doc->m_nodes[m_node].end; c = m_doc->next(c)) {
        const uint32_t k = m_doc->m_nodes[c].key;
        // Most names differ in their first character.
        if ((k & Document::kEscaped || m_doc->m_text[k & Document::kOffset] == first)
            && m_doc->keyIs(k, key))
            found = c; // the last of equal keys counts
    }
    return found ? Value(m_doc, found) : Value();
}

QList<std::pair<QString, Value>> Object::members(bool *orderKnown) const
{
    if (orderKnown)
        *orderKnown = true;
    QList<std::pair<QString, Value>> all;
    if (!m_doc)
        return all;
    for (uint32_t c = m_node + 1; c < m_doc->m_nodes[m_node].end; c = m_doc->next(c)) {
        const uint32_t key = m_doc->m_nodes[c].key;
        QString name = m_doc->decode(key & Document::kOffset, key & Document::kEscaped);
        if (orderKnown && std::any_of(name.cbegin(), name.cend(), [](QChar ch) {
                return ch.unicode() >= 0xD800;
            }))
            *orderKnown = false;
        all.append({std::move(name), Value(m_doc, c)});
    }
    std::stable_sort(all.begin(), all.end(),
                     [](const auto &a, const auto &b) { return a.first < b.first; });
    QList<std::pair<QString, Value>> out;
    for (qsizetype i = 0; i < all.size(); ++i)
        if (i + 1 == all.size() || all[i + 1].first != all[i].first)
            out.append(all[i]);
    return out;
}

} // namespace netsim::json
