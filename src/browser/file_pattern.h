// The file list's pattern: one or more DOS wildcards separated by ";",
// matched against file names without regard to case.
#pragma once

#include <QList>
#include <QRegularExpression>
#include <QString>

class FilePattern final
{
public:
    // A pattern is refused when it has no element (empty, blank or only ";"),
    // or when it holds a character no file name may hold on either side of
    // the network: a path separator "\" or "/", one of : " < > |, or a control
    // character. Spaces around an element are ignored, and so is an empty
    // element (";;", a leading or trailing ";").
    static bool isValid(const QString &pattern);

    // An invalid pattern matches nothing.
    explicit FilePattern(const QString &pattern);
    bool matches(const QString &name) const;

private:
    QList<QRegularExpression> m_elements;
};
