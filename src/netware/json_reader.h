// A read-only JSON reader for large descriptions: one pass checks the text
// and records where each value starts, and names, numbers and texts are
// decoded only when asked for. QJsonDocument takes about eight times the
// text's size in memory; this takes 12 bytes a value, less than the text.
//
// It takes strict JSON only (RFC 8259, UTF-8 without a byte-order mark, no
// lone surrogates, nesting at most kMaxDepth deep, no raw U+FEFF leading a
// text, no number near underflow) and refuses everything else, so that whatever it reads
// QJsonDocument reads the same way: a caller hands a refused text to QJsonDocument, which then
// either reads it (it is more lenient) or gives its own error message. The values answer as
// QJsonValue's do, duplicate keys included (the last one counts).
#pragma once

#include <QByteArrayView>
#include <QLatin1String>
#include <QList>
#include <QString>

#include <array>
#include <cstdint>
#include <utility>
#include <vector>

namespace netsim::json {

class Document;
class Array;
class Object;

class Value
{
public:
    Value() = default; // undefined, as a missing key's value

    bool isUndefined() const { return !m_doc; }
    bool isNull() const { return kind() == 'n'; }
    bool isBool() const { return kind() == 't' || kind() == 'f'; }
    bool isDouble() const { return kind() == '0'; }
    bool isString() const { return kind() == '"'; }
    bool isArray() const { return kind() == '['; }
    bool isObject() const { return kind() == '{'; }

    // As QJsonValue: a default for a value of another kind.
    bool toBool() const { return kind() == 't'; }
    double toDouble() const;
    QString toString() const;
    Array toArray() const;
    Object toObject() const;

    // Where the value stands in the text, for changing the text in place:
    // its first byte, and for an array or object its closing bracket.
    qsizetype offset() const;
    qsizetype closingOffset() const;

private:
    friend class Array;
    friend class Object;
    friend class Document;
    Value(const Document *doc, uint32_t node) : m_doc(doc), m_node(node) { }
    char kind() const; // the first character, or '0' for a number, or 0 when undefined

    const Document *m_doc = nullptr;
    uint32_t m_node = 0;
};

class Array
{
public:
    Array() = default;
    qsizetype size() const { return m_size; }
    // Sequential reads cost one step each.
    Value at(qsizetype i) const;
    Value operator[](qsizetype i) const { return at(i); }

private:
    friend class Value;
    Array(const Document *doc, uint32_t node);

    const Document *m_doc = nullptr;
    uint32_t m_node = 0;
    qsizetype m_size = 0;
    mutable qsizetype m_cursor = -1; // index of the element at m_cursorNode
    mutable uint32_t m_cursorNode = 0;
};

class Object
{
public:
    Object() = default;
    Value value(QLatin1String key) const; // key in ASCII; undefined when absent
    bool contains(QLatin1String key) const { return !value(key).isUndefined(); }
    // The members, the last of equal names only, sorted by name as
    // QJsonObject's are. *orderKnown is false when a name holds a character
    // outside the Basic Multilingual Plane or a surrogate, where that order
    // is not known to match.
    QList<std::pair<QString, Value>> members(bool *orderKnown = nullptr) const;

private:
    friend class Value;
    friend class Document;
    Object(const Document *doc, uint32_t node) : m_doc(doc), m_node(node) { }

    const Document *m_doc = nullptr;
    uint32_t m_node = 0;
};

class Document
{
public:
    static constexpr int kMaxDepth = 64;

    // Reads text, which must outlive the document and stay unchanged. False
    // when the text is not strict JSON with an object at the top.
    bool parse(QByteArrayView text);
    Object root() const { return Object(this, 0); }

private:
    friend class Value;
    friend class Array;
    friend class Object;

    // One per value, in document order. For a string, number or literal,
    // end is the text offset past it; for an array or object, the node index
    // past its last descendant. key is the offset of a member's name just
    // after its opening quote, 0 for an array element or the root.
    struct Node
    {
        uint32_t at = 0;
        uint32_t end = 0;
        uint32_t key = 0;
    };
    // at also holds the value's kind (its first character's index in
    // kKinds) and whether a string holds escapes; key holds that flag too.
    static constexpr uint32_t kOffset = 0x0fffffffu;
    static constexpr int kKindShift = 28;
    static constexpr uint32_t kEscaped = 0x80000000u;
    static constexpr const char *kKinds = "\0{[\"0tfn"; // a number is '0'
    static char kindOf(uint32_t at) { return kKinds[at >> kKindShift & 7]; }

    class Parser;
    uint32_t next(uint32_t node) const // the node after this one's subtree
    {
        const char kind = kindOf(m_nodes[node].at);
        return kind == '{' || kind == '[' ? m_nodes[node].end : node + 1;
    }
    QString decode(uint32_t offset, bool escaped) const; // the string starting at offset
    bool keyIs(uint32_t key, QLatin1String name) const;

    const char *m_text = nullptr;
    size_t m_size = 0;
    std::vector<Node> m_nodes;
    struct Recent
    {
        QByteArrayView raw;
        QString text;
    };
    mutable std::array<Recent, 256> m_recent; // the last text per first character of its name
};

} // namespace netsim::json
