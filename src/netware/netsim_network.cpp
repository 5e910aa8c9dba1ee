#include "netware/netsim_network.h"

#include "netware/client_text.h"
#include "netware/json_reader.h"
#include "netware/large_pages.h"

#include <QDate>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QRegularExpression>
#include <QSet>
#include <QTime>

#include <algorithm>
#include <cmath>

namespace netsim {

const Volume *Server::volume(QStringView name) const
{
    // Names mostly arrive as stored: an exact match first is cheaper.
    for (const Volume &v : volumes)
        if (v.name == name)
            return &v;
    for (const Volume &v : volumes)
        if (v.name.compare(name, Qt::CaseInsensitive) == 0)
            return &v;
    return nullptr;
}

const Volume *Server::volumeByNumber(int number) const
{
    for (const Volume &v : volumes)
        if (v.number == number)
            return &v;
    return nullptr;
}

void NameIndex::reserve(qsizetype n)
{
    m_entries.reserve(n);
    m_names.reserve(n * 8);
    if (n * 2 > m_slots.size())
        rehash(qNextPowerOfTwo(quint64(n) * 2));
}

qsizetype NameIndex::slotOf(QStringView name, uint32_t hash) const
{
    const qsizetype mask = m_slots.size() - 1;
    for (qsizetype i = qsizetype(hash) & mask;; i = (i + 1) & mask) {
        const Slot &slot = m_slots[i];
        if (slot.entry < 0)
            return i;
        if (slot.hash == hash) {
            const Entry &e = m_entries[slot.entry];
            if (QStringView(m_names).mid(e.start, e.size) == name)
                return i;
        }
    }
}

void NameIndex::rehash(qsizetype count)
{
    QList<Slot> old = sizedLarge<Slot>(count);
    old.swap(m_slots);
    const qsizetype mask = count - 1;
    for (const Slot &slot : old) {
        if (slot.entry < 0)
            continue;
        qsizetype i = qsizetype(slot.hash) & mask;
        while (m_slots[i].entry >= 0)
            i = (i + 1) & mask;
        m_slots[i] = slot;
    }
}

int NameIndex::findOrInsert(QStringView name, int position)
{
    if ((m_entries.size() + 1) * 2 > m_slots.size())
        rehash(qMax<qsizetype>(16, m_slots.size() * 2));
    const auto hash = uint32_t(qHash(name, QHashSeed::globalSeed()));
    const qsizetype i = slotOf(name, hash);
    if (m_slots[i].entry >= 0)
        return m_entries[m_slots[i].entry].position;
    m_slots[i] = {hash, int(m_entries.size())};
    m_entries.append({int(m_names.size()), int(name.size()), position});
    m_names.append(name);
    return position;
}

int NameIndex::value(QStringView name) const
{
    if (m_slots.isEmpty())
        return -1;
    const Slot &slot = m_slots[slotOf(name, uint32_t(qHash(name, QHashSeed::globalSeed())))];
    return slot.entry < 0 ? -1 : m_entries[slot.entry].position;
}

const DirObject *Server::object(const QString &name) const
{
    const int i = index.objectByName.value(name.toUpper());
    return i < 0 ? nullptr : &objects[i];
}

const DirObject *Server::objectById(uint32_t id) const
{
    const int i = index.objectById.value(id, -1);
    return i < 0 ? nullptr : &objects[i];
}

const Connection *Server::connection(int number) const
{
    const int i = index.connectionByNumber.value(number, -1);
    return i < 0 ? nullptr : &connections[i];
}

void Server::indexOpenFile(int i)
{
    OpenFile &f = openFiles[i];
    FileUses &u = index.openFilesByPath[normalizedVolumePath(f.path)];
    // Many entries name one file: they share one copy of its path.
    if (!u.entries.isEmpty() && openFiles[u.entries.first()].path == f.path)
        f.path = openFiles[u.entries.first()].path;
    u.entries.append(i);
    u.forRead += (f.accessControl & 1) ? 1 : 0;
    u.forWrite += (f.accessControl & 2) ? 1 : 0;
    u.denyRead += (f.accessControl & 4) ? 1 : 0;
    u.denyWrite += (f.accessControl & 8) ? 1 : 0;
    u.locked = u.locked || f.lockFlag != 0;
}

namespace {

// The positions 0..n-1 grouped by key, each group in order, and each key's
// run in them; runs holds each key's count on entry.
QList<int> placeRuns(const QList<int> &keyOf, QList<TrusteeRun> *runs)
{
    int start = 0;
    for (TrusteeRun &r : *runs) {
        r.start = start;
        start += r.count;
    }
    QList<int> next = sizedLarge<int>(runs->size());
    for (qsizetype k = 0; k < runs->size(); ++k)
        next[k] = runs->at(k).start;
    QList<int> positions = sizedLarge<int>(keyOf.size());
    for (qsizetype i = 0; i < keyOf.size(); ++i)
        positions[next[keyOf[i]]++] = int(i);
    return positions;
}

} // namespace

void Server::indexTrustees(const QList<int> &objectOf)
{
    const qsizetype n = trustees.size();
    // Paths are numbered as met.
    NameIndex &byName = index.pathByName;
    byName = NameIndex();
    byName.reserve(n);
    QList<TrusteeRun> &pathRuns = index.pathRuns;
    pathRuns.clear();
    QList<int> pathOf = sizedLarge<int>(n);
    for (qsizetype i = 0; i < n; ++i) {
        const int k
            = byName.findOrInsert(normalizedVolumePath(trustees[i].path), int(pathRuns.size()));
        if (k == pathRuns.size())
            pathRuns.append(TrusteeRun());
        ++pathRuns[k].count;
        pathOf[i] = k;
    }
    index.pathTrustees = placeRuns(pathOf, &pathRuns);
    index.pathRunOf = sizedLarge<TrusteeRun>(n);
    for (qsizetype i = 0; i < n; ++i)
        index.pathRunOf[i] = pathRuns[pathOf[i]];

    index.clientPaths = sizedLarge<ServerIndex::ClientPath>(n);
    // Sized once: a byte for each character of every path is room enough,
    // the volume names and colons leaving space for the last NUL.
    qsizetype room = 1;
    for (const Trustee &t : trustees)
        room += t.path.size();
    QByteArray &bytes = index.clientPathBytes;
    bytes = QByteArray(room, Qt::Uninitialized);
    prepareToFill(bytes.constData(), size_t(room));
    char *at = bytes.data();
    const Volume *v = nullptr; // one volume's paths tend to stand together
    for (qsizetype i = 0; i < n; ++i) {
        const QStringView path = trustees[i].path;
        const qsizetype colon = path.indexOf(u':');
        if (!v || path.left(colon) != v->name)
            v = volume(path.left(colon));
        ServerIndex::ClientPath &out = index.clientPaths[i];
        out.volume = v ? int(v - volumes.constData()) : -1;
        out.start = int(at - bytes.constData());
        const QStringView rest = path.mid(colon + 1);
        if (const auto written = ClientText::encodeInto(rest, at, std::size_t(rest.size()) + 1)) {
            out.size = int(*written);
            std::replace(at, at + *written, '/', '\\');
            at += *written;
        }
    }
    bytes.truncate(at - bytes.constData());
    bytes.squeeze();

    index.trusteesByObject = sizedLarge<TrusteeRun>(objects.size());
    for (int o : objectOf)
        ++index.trusteesByObject[o].count;
    index.objectTrustees = placeRuns(objectOf, &index.trusteesByObject);
}

QList<int> Server::usesOf(const QString &volumePath) const
{
    const FileUses *u = fileUses(volumePath);
    return u ? u->entries : QList<int>();
}

const FileUses *Server::fileUses(const QString &volumePath) const
{
    const auto it = index.openFilesByPath.constFind(normalizedVolumePath(volumePath));
    return it == index.openFilesByPath.cend() ? nullptr : &*it;
}

ServerIndex::Positions Server::trusteesOfPath(const QString &volumePath) const
{
    return index.ofPath(index.runOfPath(normalizedVolumePath(volumePath)));
}

ServerIndex::Positions Server::trusteesOfObject(const QString &name) const
{
    return trusteesOf(object(name));
}

ServerIndex::Positions Server::trusteesOf(const DirObject *o) const
{
    return o ? index.ofObject(index.trusteesByObject.value(o - objects.constData()))
             : ServerIndex::Positions();
}

bool Server::isOperator(const QString &login) const
{
    return operators.contains(login, Qt::CaseInsensitive);
}

const Server *Network::server(const QString &name) const
{
    const int i = serverIndex(name);
    return i < 0 ? nullptr : &servers[i];
}

int Network::serverIndex(const QString &name) const
{
    for (int i = 0; i < servers.size(); ++i)
        if (servers[i].name == name)
            return i;
    for (int i = 0; i < servers.size(); ++i)
        if (servers[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

const Drive *Network::drive(QChar letter) const
{
    const char up = char(letter.toUpper().toLatin1());
    for (const Drive &d : drives)
        if (d.letter == up)
            return &d;
    return nullptr;
}

namespace {

// Hand-written matchers: a regular expression per field was a third of a
// large load. They accept what "^...$" patterns would, a final "\n" included.
QStringView withoutFinalNewline(const QString &text)
{
    return text.endsWith(QLatin1Char('\n')) ? QStringView(text).chopped(1) : QStringView(text);
}

bool isDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

// Reads count decimal digits at *pos.
bool digits(QStringView s, qsizetype *pos, int count, int *out)
{
    int v = 0;
    for (int i = 0; i < count; ++i, ++*pos) {
        if (*pos >= s.size() || !isDigit(s[*pos]))
            return false;
        v = v * 10 + (s[*pos].unicode() - u'0');
    }
    *out = v;
    return true;
}

int hexValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

// Two hex digits per byte.
bool hexBytes(QStringView hex, uint8_t *out)
{
    for (qsizetype i = 0; i + 1 < hex.size(); i += 2) {
        const int hi = hexValue(hex[i]);
        const int lo = hexValue(hex[i + 1]);
        if (hi < 0 || lo < 0)
            return false;
        out[i / 2] = uint8_t(hi << 4 | lo);
    }
    return true;
}

} // namespace

std::optional<Address> parseAddressText(const QString &text)
{
    const QStringView t = withoutFinalNewline(text);
    Address a;
    if (t.startsWith(QLatin1String("IPX:"), Qt::CaseInsensitive)) {
        // IPX:NNNNNNNN:HHHHHHHHHHHH:SSSS
        if (t.size() != 4 + 8 + 1 + 12 + 1 + 4 || t[12] != QLatin1Char(':')
            || t[25] != QLatin1Char(':') || !hexBytes(t.mid(4, 8), a.net.data())
            || !hexBytes(t.mid(13, 12), a.node.data()) || !hexBytes(t.mid(26, 4), a.socket.data()))
            return std::nullopt;
        a.type = 2;
        return a;
    }
    if (!t.startsWith(QLatin1String("IP:"), Qt::CaseInsensitive))
        return std::nullopt;
    qsizetype pos = 3;
    for (int i = 0; i < 4; ++i) {
        if (i > 0 && (pos >= t.size() || t[pos++] != QLatin1Char('.')))
            return std::nullopt;
        int b = 0;
        int n = 0;
        while (n < 3 && pos < t.size() && isDigit(t[pos])) {
            b = b * 10 + (t[pos++].unicode() - u'0');
            ++n;
        }
        if (n == 0 || b > 255)
            return std::nullopt;
        a.net[i] = uint8_t(b);
    }
    if (pos != t.size())
        return std::nullopt;
    a.type = 11;
    return a;
}

std::optional<std::array<uint8_t, 7>> parseLoginTimeText(const QString &text)
{
    // YYYY-MM-DD HH:MM:SS
    const QStringView t = withoutFinalNewline(text);
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, sec = 0;
    qsizetype pos = 0;
    const auto sep = [&](char c) { return pos < t.size() && t[pos++] == QLatin1Char(c); };
    if (!digits(t, &pos, 4, &y) || !sep('-') || !digits(t, &pos, 2, &mo) || !sep('-')
        || !digits(t, &pos, 2, &d) || !sep(' ') || !digits(t, &pos, 2, &h) || !sep(':')
        || !digits(t, &pos, 2, &mi) || !sep(':') || !digits(t, &pos, 2, &sec) || pos != t.size())
        return std::nullopt;
    const QDate date(y, mo, d);
    const QTime time(h, mi, sec);
    if (!date.isValid() || !time.isValid())
        return std::nullopt;
    return std::array<uint8_t, 7> {uint8_t(date.year() % 100),   uint8_t(date.month()),
                                   uint8_t(date.day()),          uint8_t(time.hour()),
                                   uint8_t(time.minute()),       uint8_t(time.second()),
                                   uint8_t(date.dayOfWeek() % 7)};
}

namespace {

// True when normalizing would change nothing: most paths come from the
// description's index or an earlier answer and need no copy.
bool isNormalized(const QString &p)
{
    const char16_t *s = reinterpret_cast<const char16_t *>(p.constData());
    const qsizetype n = p.size();
    if (n == 0)
        return true;
    if (s[0] <= u' ' || s[n - 1] <= u' ' || s[n - 1] == u'\\')
        return false;
    const auto changes
        = [](char16_t c) { return c >= 0x80 || char16_t(c - u'a') < 26 || c == u'/'; };
    qsizetype i = 0;
    for (; i < n && s[i] != u':'; ++i)
        if (changes(s[i]) || s[i] == u'\\') // a "SERVER\" prefix
            return false;
    for (; i < n; ++i)
        if (changes(s[i]))
            return false;
    return true;
}

} // namespace

QString normalizedVolumePath(const QString &path)
{
    if (isNormalized(path))
        return path;
    QString p = path.trimmed().toUpper();
    p.replace(QLatin1Char('/'), QLatin1Char('\\'));
    const int colon = p.indexOf(QLatin1Char(':'));
    const int slash = p.indexOf(QLatin1Char('\\'));
    // "SERVER\VOLUME:..." after the replacement above: drop the server part.
    if (colon > 0 && slash >= 0 && slash < colon)
        p = p.mid(slash + 1);
    // A folder path compares equal with or without its trailing "\".
    while (p.endsWith(QLatin1Char('\\')) && !p.endsWith(QLatin1String(":\\")))
        p.chop(1);
    if (p.endsWith(QLatin1String(":\\")))
        p.chop(1);
    return p;
}

QString volumeOfPath(const QString &path)
{
    const int colon = path.indexOf(QLatin1Char(':'));
    return colon < 0 ? QString() : path.left(colon);
}

namespace {

// A field's place in the document ("servers[0].connections[3].number"),
// spelled out only when a check fails: building it for every field checked
// was most of the time of a large load.
class Where
{
public:
    Where(QString text) : m_text(std::move(text)) { } // a place spelled out already
    Where(const Where &parent, const char *key, int index = -1)
        : m_parent(&parent), m_key(key), m_index(index)
    {
    }

    QString text() const
    {
        if (!m_parent)
            return m_text;
        QString t = m_parent->text() + QLatin1Char('.') + QLatin1String(m_key);
        if (m_index >= 0)
            t += QLatin1Char('[') + QString::number(m_index) + QLatin1Char(']');
        return t;
    }
    friend QString operator+(const Where &w, const QString &tail) { return w.text() + tail; }

private:
    const Where *m_parent = nullptr; // outlives this: places nest like the calls
    const char *m_key = nullptr;
    int m_index = -1;
    QString m_text;
};

// The two documents the loader reads: Qt's, which can release what has been
// read and keeps the document for a write-back, and the lean reader's.
struct QtJson
{
    using Value = QJsonValue;
    using Object = QJsonObject;
    using Array = QJsonArray;
    static constexpr bool isQt = true;
    static QList<std::pair<QString, Value>> members(const Object &o, bool *orderKnown)
    {
        *orderKnown = true;
        QList<std::pair<QString, Value>> out;
        for (auto it = o.begin(); it != o.end(); ++it)
            out.append({it.key(), it.value()});
        return out;
    }
};

struct LeanJson
{
    using Value = json::Value;
    using Object = json::Object;
    using Array = json::Array;
    static constexpr bool isQt = false;
    static auto members(const Object &o, bool *orderKnown) { return o.members(orderKnown); }
};

// Walks the document and stops at the first bad field with its path.
template<class J> class Loader
{
public:
    using Value = typename J::Value;
    using Object = typename J::Object;
    using Array = typename J::Array;

    QString error;
    QString lastLoginText;
    std::optional<std::array<uint8_t, 7>> lastLoginTime;
    // Set with a failure the lean reader cannot decide as Qt's would: read
    // the text with Qt's instead.
    bool retry = false;
    // Release each entry once read, so a large description never has its
    // whole document and its network in memory at once (no root kept).
    bool consume = false;

    // Entry i of a, dropped from a when consuming.
    Value entry(Array &a, int i) const
    {
        Value v = a.at(i);
        if constexpr (J::isQt) {
            if (consume)
                a.replace(i, QJsonValue());
        }
        return v;
    }

    // The array at key, taken out of o when consuming so that its entries
    // are held by nothing else.
    bool takeArray(Object &o, const char *key, const Where &path, Array *out, bool required)
    {
        if (!array(o, key, path, out, required))
            return false;
        if constexpr (J::isQt) {
            if (consume)
                o.remove(QLatin1String(key));
        }
        return true;
    }

    bool fail(const Where &path, const QString &problem)
    {
        const QString place = path.text();
        error = place.isEmpty() ? problem : place + QStringLiteral(": ") + problem;
        return false;
    }

    bool integer(const Value &v, const Where &path, double lo, double hi, double *out)
    {
        const double d = v.toDouble();
        if (!v.isDouble() || std::floor(d) != d || d < lo || d > hi)
            return fail(
                path,
                QStringLiteral("not an integer in %1..%2").arg(qulonglong(lo)).arg(qulonglong(hi)));
        *out = d;
        return true;
    }

    // An optional integer: absent keeps *out.
    template<typename T>
    bool optInteger(const Object &o, const char *key, const Where &path, double lo, double hi,
                    T *out, bool required = false)
    {
        const Value v = o.value(QLatin1String(key));
        if (v.isUndefined())
            return !required || fail(Where(path, key), QStringLiteral("missing"));
        double d = 0;
        if (!integer(v, Where(path, key), lo, hi, &d))
            return false;
        *out = T(d);
        return true;
    }

    template<typename T>
    bool reqInteger(const Object &o, const char *key, const Where &path, double lo, double hi,
                    T *out)
    {
        return optInteger(o, key, path, lo, hi, out, true);
    }

    bool string(const Object &o, const char *key, const Where &path, QString *out,
                bool required = true)
    {
        const Value v = o.value(QLatin1String(key));
        if (v.isUndefined()) {
            if (required)
                return fail(Where(path, key), QStringLiteral("missing"));
            return true;
        }
        if (!v.isString())
            return fail(Where(path, key), QStringLiteral("not a string"));
        QString text = v.toString();
        if (text.isEmpty())
            return fail(Where(path, key), QStringLiteral("empty"));
        *out = std::move(text);
        return true;
    }

    bool array(const Object &o, const char *key, const Where &path, Array *out, bool required)
    {
        const Value v = o.value(QLatin1String(key));
        if (v.isUndefined()) {
            if (required)
                return fail(Where(path, key), QStringLiteral("missing"));
            *out = {};
            return true;
        }
        if (!v.isArray())
            return fail(Where(path, key), QStringLiteral("not an array"));
        *out = v.toArray();
        return true;
    }

    bool object(const Value &v, const Where &path, Object *out)
    {
        if (!v.isObject())
            return fail(path, QStringLiteral("not an object"));
        *out = v.toObject();
        return true;
    }

    static Where at(const Where &path, const char *key, int i) { return Where(path, key, i); }

    template<size_t N>
    bool bytes(const Object &o, const char *key, const Where &path, std::array<uint8_t, N> *out)
    {
        const Value v = o.value(QLatin1String(key));
        if (v.isUndefined())
            return true;
        if (!v.isArray() || v.toArray().size() != int(N))
            return fail(Where(path, key), QStringLiteral("not an array of %1 bytes").arg(N));
        const Array a = v.toArray();
        for (int i = 0; i < int(N); ++i) {
            double d = 0;
            if (!integer(a[i], Where(path, key, i), 0, 255, &d))
                return false;
            (*out)[i] = uint8_t(d);
        }
        return true;
    }

    // Names and paths go to the client in its 8-bit code page.
    bool clientText(const QString &value, const Where &path)
    {
        return ClientText::canEncode(value)
            || fail(path, QStringLiteral("holds a character outside the Windows-1252 code page"));
    }

    static bool plainName(const QString &s)
    {
        return !s.contains(QLatin1Char('/')) && !s.contains(QLatin1Char('\\'))
            && !s.contains(QLatin1Char(':'));
    }

    bool volumePath(const Object &o, const Where &path, QString *out)
    {
        if (!string(o, "path", path, out) || !clientText(*out, Where(path, "path")))
            return false;
        if (out->indexOf(QLatin1Char(':')) <= 0) // no volume part
            return fail(path + QStringLiteral(".path"),
                        QStringLiteral("not a VOLUME:DIR\\FILE path"));
        return true;
    }

    bool connection(const Value &v, const Where &path, Connection *c)
    {
        Object o;
        if (!object(v, path, &o) || !reqInteger(o, "number", path, 1, 65535, &c->number))
            return false;
        if (!string(o, "object", path, &c->object) || !clientText(c->object, Where(path, "object")))
            return false;
        const Value lt = o.value(QLatin1String("loginTime"));
        if (lt.isString()) {
            // Many connections share a login time: its date is checked once.
            QString text = lt.toString();
            if (text != lastLoginText) {
                lastLoginTime = parseLoginTimeText(text);
                lastLoginText = std::move(text);
            }
            const auto &t = lastLoginTime;
            if (!t)
                return fail(path + QStringLiteral(".loginTime"),
                            QStringLiteral("not a time \"YYYY-MM-DD HH:MM:SS\""));
            c->loginTime = *t;
        } else if (lt.isArray()) {
            if (!bytes(o, "loginTime", path, &c->loginTime))
                return false;
        } else if (!lt.isUndefined()) {
            return fail(path + QStringLiteral(".loginTime"),
                        QStringLiteral("neither a \"YYYY-MM-DD HH:MM:SS\" text nor 7 bytes"));
        }
        const Value addr = o.value(QLatin1String("address"));
        const Where ap(path, "address");
        if (addr.isString()) {
            c->address = parseAddressText(addr.toString());
            if (!c->address)
                return fail(
                    ap, QStringLiteral("not \"IP:a.b.c.d\" or \"IPX:NNNNNNNN:HHHHHHHHHHHH:SSSS\""));
        } else if (addr.isObject()) {
            const Object a = addr.toObject();
            Address out;
            if (!reqInteger(a, "type", ap, 0, 65535, &out.type) || !bytes(a, "net", ap, &out.net)
                || !bytes(a, "node", ap, &out.node) || !bytes(a, "socket", ap, &out.socket))
                return false;
            c->address = out;
        } else if (!addr.isUndefined() && !addr.isNull()) {
            return fail(ap, QStringLiteral("neither a text, an object nor null"));
        }
        const Value accepts = o.value(QLatin1String("acceptsMessages"));
        if (!accepts.isUndefined()) {
            if (!accepts.isBool())
                return fail(path + QStringLiteral(".acceptsMessages"),
                            QStringLiteral("not true or false"));
            c->acceptsMessages = accepts.toBool();
        }
        Array messages;
        if (!array(o, "messages", path, &messages, false))
            return false;
        for (int i = 0; i < messages.size(); ++i) {
            Object m;
            const Where mp = at(path, "messages", i);
            if (!object(messages[i], mp, &m))
                return false;
            Message msg;
            msg.from = m.value(QLatin1String("from")).toString();
            msg.text = m.value(QLatin1String("text")).toString();
            msg.at = m.value(QLatin1String("at")).toString();
            for (const char *key : {"from", "text", "at"})
                if (m.contains(QLatin1String(key)) && !m.value(QLatin1String(key)).isString())
                    return fail(Where(mp, key), QStringLiteral("not a string"));
            c->messages.append(msg);
        }
        return true;
    }

    bool server(Value v, const Where &path, const QString &baseDir, Server *s)
    {
        Object o;
        if (!object(v, path, &o))
            return false;
        v = Value(); // o alone holds the server now
        if (!string(o, "name", path, &s->name) || !clientText(s->name, Where(path, "name")))
            return false;
        if (!plainName(s->name))
            return fail(path + QStringLiteral(".name"),
                        QStringLiteral("contains '/', '\\' or ':'"));

        Array a;
        if (!array(o, "operators", path, &a, false))
            return false;
        for (int i = 0; i < a.size(); ++i) {
            if (!a[i].isString())
                return fail(at(path, "operators", i), QStringLiteral("not a string"));
            if (!clientText(a[i].toString(), at(path, "operators", i)))
                return false;
            s->operators.append(a[i].toString());
        }

        if (!array(o, "volumes", path, &a, true))
            return false;
        for (int i = 0; i < a.size(); ++i) {
            const Where p = at(path, "volumes", i);
            Object vo;
            Volume vol;
            if (!object(a[i], p, &vo) || !string(vo, "name", p, &vol.name)
                || !reqInteger(vo, "number", p, 0, 255, &vol.number)
                || !string(vo, "root", p, &vol.root) || !clientText(vol.name, Where(p, "name")))
                return false;
            if (!plainName(vol.name) || vol.name.size() > kMaxVolumeNameLen)
                return fail(
                    p + QStringLiteral(".name"),
                    QStringLiteral("not a volume name of at most %1 characters without '/', "
                                   "'\\' or ':'")
                        .arg(kMaxVolumeNameLen));
            if (s->volume(vol.name))
                return fail(p + QStringLiteral(".name"),
                            QStringLiteral("duplicate volume \"%1\"").arg(vol.name));
            if (s->volumeByNumber(vol.number))
                return fail(p + QStringLiteral(".number"),
                            QStringLiteral("duplicate volume number %1").arg(vol.number));
            vol.root = QDir::cleanPath(QDir(baseDir).absoluteFilePath(vol.root));
            s->volumes.append(vol);
        }

        if (!takeArray(o, "objects", path, &a, false))
            return false;
        reserveLarge(s->objects, a.size());
        s->index.objectByName.reserve(a.size());
        s->index.objectById.reserve(a.size());
        for (int i = 0; i < a.size(); ++i) {
            const Where p = at(path, "objects", i);
            Object oo;
            DirObject obj;
            if (!object(entry(a, i), p, &oo) || !string(oo, "name", p, &obj.name)
                || !reqInteger(oo, "id", p, 1, 4294967295.0, &obj.id)
                || !clientText(obj.name, Where(p, "name")))
                return false;
            const int at = int(s->objects.size());
            if (s->index.objectByName.findOrInsert(obj.name.toUpper(), at) != at)
                return fail(p + QStringLiteral(".name"),
                            QStringLiteral("duplicate object \"%1\"").arg(obj.name));
            // One look-up each to check and index: a new key grows the hash.
            const qsizetype ids = s->index.objectById.size();
            int &byId = s->index.objectById[obj.id];
            if (s->index.objectById.size() == ids)
                return fail(p + QStringLiteral(".id"),
                            QStringLiteral("duplicate object id %1").arg(obj.id));
            byId = int(s->objects.size());
            s->objects.append(obj);
        }

        if (!takeArray(o, "connections", path, &a, false))
            return false;
        reserveLarge(s->connections, a.size());
        s->index.connectionByNumber.reserve(a.size());
        for (int i = 0; i < a.size(); ++i) {
            const Where p = at(path, "connections", i);
            Connection c;
            if (!connection(entry(a, i), p, &c))
                return false;
            const qsizetype numbers = s->index.connectionByNumber.size();
            int &byNumber = s->index.connectionByNumber[c.number];
            if (s->index.connectionByNumber.size() == numbers)
                return fail(p + QStringLiteral(".number"),
                            QStringLiteral("duplicate connection number %1").arg(c.number));
            byNumber = int(s->connections.size());
            if (const DirObject *known = s->object(c.object)) {
                c.objectId = known->id;
                if (c.object == known->name)
                    c.object = known->name; // one copy of a name however often it is used
            }
            s->connections.append(c);
        }

        if (!takeArray(o, "openFiles", path, &a, false))
            return false;
        reserveLarge(s->openFiles, a.size());
        for (int i = 0; i < a.size(); ++i) {
            const Where p = at(path, "openFiles", i);
            Object fo;
            OpenFile f;
            // The connection need not be listed: the client then has no information for it.
            if (!object(entry(a, i), p, &fo) || !volumePath(fo, p, &f.path)
                || !reqInteger(fo, "connection", p, 1, 65535, &f.connection)
                || !optInteger(fo, "task", p, 0, 65535, &f.task)
                || !optInteger(fo, "lockType", p, 0, 255, &f.lockType)
                || !optInteger(fo, "accessControl", p, 0, 255, &f.accessControl)
                || !optInteger(fo, "lockFlag", p, 0, 255, &f.lockFlag))
                return false;
            s->openFiles.append(f);
            s->indexOpenFile(int(s->openFiles.size()) - 1);
        }

        if (!takeArray(o, "trustees", path, &a, false))
            return false;
        reserveLarge(s->trustees, a.size());
        QList<int> objectOf;
        objectOf.reserve(a.size());
        const DirObject *last = nullptr;
        for (int i = 0; i < a.size(); ++i) {
            const Where p = at(path, "trustees", i);
            Object to;
            Trustee t;
            if (!object(entry(a, i), p, &to) || !volumePath(to, p, &t.path)
                || !string(to, "object", p, &t.object)
                || !reqInteger(to, "rights", p, 0, 65535, &t.rights))
                return false;
            // A user's trustee assignments tend to stand together.
            const DirObject *known = last && t.object == last->name ? last : s->object(t.object);
            last = known;
            if (!known)
                return fail(p + QStringLiteral(".object"),
                            QStringLiteral("unknown object \"%1\"").arg(t.object));
            t.objectId = known->id;
            if (t.object == known->name)
                t.object = known->name;
            s->trustees.append(t);
            objectOf.append(int(known - s->objects.constData()));
        }
        s->indexTrustees(objectOf);
        return true;
    }

    bool network(Object root, const QString &baseDir, Network *n)
    {
        const Value format = root.value(QLatin1String("format"));
        if (!format.isUndefined() && format.toString() != QLatin1String(kFormat))
            return fail(QStringLiteral("format"),
                        QStringLiteral("not \"%1\"").arg(QLatin1String(kFormat)));

        Object ws;
        if (!root.contains(QLatin1String("workstation")))
            return fail(QStringLiteral("workstation"), QStringLiteral("missing"));
        if (!object(root.value(QLatin1String("workstation")), QStringLiteral("workstation"), &ws)
            || !string(ws, "login", QStringLiteral("workstation"), &n->login)
            || !clientText(n->login, QStringLiteral("workstation.login")))
            return false;

        Array servers;
        if constexpr (J::isQt) {
            if (!consume)
                n->root = root;
        }
        if (!takeArray(root, "servers", QString(), &servers, true)) {
            error = error.mid(1); // no leading "." for a top-level key
            return false;
        }
        for (int i = 0; i < servers.size(); ++i) {
            Server s;
            const QString p = QStringLiteral("servers[%1]").arg(i);
            if (!server(entry(servers, i), p, baseDir, &s))
                return false;
            if (n->server(s.name))
                return fail(p + QStringLiteral(".name"),
                            QStringLiteral("duplicate server \"%1\"").arg(s.name));
            n->servers.append(s);
        }

        const Value drives = ws.value(QLatin1String("drives"));
        if (!drives.isUndefined() && !drives.isObject())
            return fail(QStringLiteral("workstation.drives"), QStringLiteral("not an object"));
        bool orderKnown = true;
        const auto members = J::members(drives.toObject(), &orderKnown);
        if (!orderKnown) {
            retry = true; // the first bad drive might not be Qt's first
            return false;
        }
        static const QRegularExpression target(QStringLiteral(R"(^([^/\\:]+)/([^/\\:]+):\\?$)"));
        for (const auto &[key, value] : members) {
            const QString p = QStringLiteral("workstation.drives.") + key;
            const QString letter = key.toUpper();
            if (letter.size() != 1 || letter[0] < QLatin1Char('A') || letter[0] > QLatin1Char('Z'))
                return fail(p, QStringLiteral("not a drive letter A..Z"));
            if (n->drive(letter[0]))
                return fail(p, QStringLiteral("drive mapped twice"));
            if (!value.isString())
                return fail(p, QStringLiteral("not a string"));
            const auto m = target.match(value.toString());
            if (!m.hasMatch())
                return fail(p, QStringLiteral("not \"SERVER/VOLUME:\""));
            const Server *s = n->server(m.captured(1));
            if (!s)
                return fail(p, QStringLiteral("unknown server \"%1\"").arg(m.captured(1)));
            const Volume *v = s->volume(m.captured(2));
            if (!v)
                return fail(p,
                            QStringLiteral("unknown volume \"%1\" on server %2")
                                .arg(m.captured(2), s->name));
            n->drives.append(Drive {char(letter[0].toLatin1()), s->name, v->name});
        }
        return true;
    }
};

} // namespace

namespace {

bool load(QByteArray *json, bool keepDocument, const QString &baseDir, Network *out, QString *error)
{
    QString problem;
    Network n;
    // Most descriptions are strict JSON: the lean reader's, with Qt's for the rest
    // and for its error messages.
    bool decided = false;
    if (!keepDocument) {
        json::Document lean;
        if (lean.parse(*json)) {
            Loader<LeanJson> loader;
            decided = loader.network(lean.root(), baseDir, &n) || !loader.retry;
            problem = loader.error;
            if (!decided)
                n = Network();
        }
    }
    if (!decided) {
        QJsonParseError pe;
        QJsonDocument doc = QJsonDocument::fromJson(*json, &pe);
        if (pe.error != QJsonParseError::NoError) {
            problem = QStringLiteral("JSON error at offset %1: %2")
                          .arg(pe.offset)
                          .arg(pe.errorString());
        } else if (!doc.isObject()) {
            problem = QStringLiteral("not a JSON object");
        } else {
            Loader<QtJson> loader;
            loader.consume = !keepDocument;
            QJsonObject root = doc.object();
            if (loader.consume) {
                *json = QByteArray();
                doc = QJsonDocument();
            }
            if (!loader.network(std::move(root), baseDir, &n))
                problem = loader.error;
        }
    }
    if (!problem.isEmpty()) {
        if (error)
            *error = problem;
        return false;
    }
    if (out)
        *out = std::move(n);
    return true;
}

} // namespace

bool parseDescription(const QByteArray &json, const QString &baseDir, Network *out, QString *error)
{
    QByteArray text = json;
    return load(&text, true, baseDir, out, error);
}

bool loadDescription(QByteArray &&json, const QString &baseDir, Network *out, QString *error)
{
    return load(&json, false, baseDir, out, error);
}

} // namespace netsim
