// Where the lean JSON reader's reading of a text differs from QJsonDocument's.
// Shared by the reader's tests and the description fuzzer.
#pragma once

#include "netware/json_reader.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>

#include <algorithm>

namespace jsoncompare {

inline QString difference(const netsim::json::Value &lean, const QJsonValue &qt,
                          const QString &at = QStringLiteral("$"));

inline QString difference(const netsim::json::Object &lean, const QJsonObject &qt,
                          const QString &at = QStringLiteral("$"))
{
    bool orderKnown = true;
    const auto members = lean.members(&orderKnown);
    if (members.size() != qt.size())
        return at + QStringLiteral(": %1 members, Qt %2").arg(members.size()).arg(qt.size());
    for (qsizetype i = 0; i < members.size(); ++i) {
        const QString &name = members[i].first;
        if (orderKnown && (qt.begin() + i).key() != name)
            return at + QStringLiteral(": member %1 is \"%2\"").arg(i).arg(name);
        if (!qt.contains(name))
            return at + QStringLiteral(": Qt has no \"%1\"").arg(name);
        const QString d = difference(members[i].second, qt.value(name), at + '.' + name);
        if (!d.isEmpty())
            return d;
        // ASCII names are also found one by one, the last of equal ones.
        const QByteArray ascii = name.toLatin1();
        if (std::all_of(name.begin(), name.end(), [](QChar c) { return c.unicode() < 0x80; })
            && !difference(lean.value(QLatin1String(ascii)), qt.value(name), at).isEmpty())
            return at + QStringLiteral(": \"%1\" looked up differs").arg(name);
    }
    return {};
}

inline QString difference(const netsim::json::Value &lean, const QJsonValue &qt, const QString &at)
{
    if (lean.isObject() != qt.isObject() || lean.isArray() != qt.isArray()
        || lean.isString() != qt.isString() || lean.isDouble() != qt.isDouble()
        || lean.isBool() != qt.isBool() || lean.isNull() != qt.isNull()
        || lean.isUndefined() != qt.isUndefined())
        return at + QStringLiteral(": another kind of value");
    if (lean.isObject())
        return difference(lean.toObject(), qt.toObject(), at);
    if (lean.isArray()) {
        const netsim::json::Array a = lean.toArray();
        const QJsonArray b = qt.toArray();
        if (a.size() != b.size())
            return at + QStringLiteral(": %1 elements, Qt %2").arg(a.size()).arg(b.size());
        // Backwards, so that the reader's cursor also has to start over.
        for (qsizetype i = a.size() - 1; i >= 0; --i) {
            const QString d = difference(a[i], b[i], at + QStringLiteral("[%1]").arg(i));
            if (!d.isEmpty())
                return d;
        }
        return {};
    }
    if (lean.toString() != qt.toString() || lean.toDouble() != qt.toDouble()
        || lean.toBool() != qt.toBool())
        return at + QStringLiteral(": another value");
    return {};
}

} // namespace jsoncompare
