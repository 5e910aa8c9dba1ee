#include "browser/file_pattern.h"

#include <QStringList>

namespace {

// Only spaces are trimmed: a tab or other control character is refused.
QString trimSpaces(const QString &s)
{
    qsizetype b = 0, e = s.size();
    while (b < e && s.at(b) == QLatin1Char(' '))
        ++b;
    while (e > b && s.at(e - 1) == QLatin1Char(' '))
        --e;
    return s.mid(b, e - b);
}

// Empty elements are skipped: typing "*.dbf;*.txt" passes through "*.dbf;".
QStringList elements(const QString &pattern)
{
    QStringList out;
    for (const QString &e : pattern.split(QLatin1Char(';'))) {
        const QString element = trimSpaces(e);
        if (!element.isEmpty())
            out << element;
    }
    return out;
}

bool isForbidden(QChar c)
{
    static const QString forbidden = QStringLiteral("\\/:\"<>|");
    return c.unicode() < 0x20 || c.unicode() == 0x7f || forbidden.contains(c);
}

QString wildcardRegex(const QString &wild)
{
    QString rx;
    for (QChar c : wild) {
        if (c == QLatin1Char('*'))
            rx += QStringLiteral(".*");
        else if (c == QLatin1Char('?'))
            rx += QLatin1Char('.');
        else
            rx += QRegularExpression::escape(QString(c));
    }
    return rx;
}

// DOS meanings: a trailing ".*" also matches no extension at all ("*.*" is
// every name), a trailing lone "." asks for names without an extension.
QString elementRegex(const QString &element)
{
    if (element.endsWith(QLatin1String(".*")))
        return wildcardRegex(element.chopped(2)) + QStringLiteral("(\\..*)?");
    if (element.endsWith(QLatin1Char('.')) && element.size() > 1
        && !element.endsWith(QLatin1String("..")))
        return QStringLiteral("(?!.*\\.)") + wildcardRegex(element.chopped(1));
    return wildcardRegex(element);
}

} // namespace

bool FilePattern::isValid(const QString &pattern)
{
    const QStringList all = elements(pattern);
    if (all.isEmpty())
        return false;
    for (const QString &e : all) {
        for (QChar c : e)
            if (isForbidden(c))
                return false;
    }
    return true;
}

FilePattern::FilePattern(const QString &pattern)
{
    if (!isValid(pattern))
        return;
    for (const QString &e : elements(pattern))
        m_elements << QRegularExpression(QRegularExpression::anchoredPattern(elementRegex(e)),
                                         QRegularExpression::CaseInsensitiveOption
                                             | QRegularExpression::DotMatchesEverythingOption);
}

bool FilePattern::matches(const QString &name) const
{
    for (const QRegularExpression &rx : m_elements)
        if (rx.match(name).hasMatch())
            return true;
    return false;
}
