#include "support/fake_platform.h"

bool FakePrinter::begin()
{
    calls << QStringLiteral("begin");
    lines.clear();
    return m_open = available;
}

bool FakePrinter::setFontName(const QString &name)
{
    calls << QStringLiteral("font|") + name;
    m_font = name;
    return m_open;
}

bool FakePrinter::setBold(bool on)
{
    calls << (on ? QStringLiteral("bold|on") : QStringLiteral("bold|off"));
    m_bold = on;
    return m_open;
}

bool FakePrinter::printLine(const QString &line)
{
    calls << QStringLiteral("line|") + line;
    if (m_open)
        lines.append({line, m_bold, m_font});
    return m_open;
}

bool FakePrinter::endDocument()
{
    calls << QStringLiteral("end");
    const bool ok = m_open && !failEnd;
    m_open = false;
    return ok;
}

Platform::Answer FakePlatform::messageBox(QWidget *, const QString &text, const QString &title,
                                          Icon icon, Buttons buttons, bool topmost)
{
    static const char *const icons[] = {"none", "exclamation", "question", "information"};
    calls << QStringLiteral("box|%1|%2|%3|%4%5")
                 .arg(title, text, QLatin1String(icons[int(icon)]),
                      buttons == Buttons::YesNo ? QStringLiteral("yesno") : QStringLiteral("ok"),
                      topmost ? QStringLiteral("|topmost") : QString());
    m_openBoxes << title;
    if (whileBoxOpen)
        whileBoxOpen(title);
    m_openBoxes.removeOne(title);
    if (buttons == Buttons::Ok)
        return Answer::Ok;
    return answers.isEmpty() ? Answer::No : answers.takeFirst();
}

QString FakePlatform::inputBox(QWidget *, const QString &prompt, const QString &title,
                               const QString &defaultText)
{
    calls << QStringLiteral("input|%1|%2|%3").arg(title, prompt, defaultText);
    m_openBoxes << title;
    if (whileBoxOpen)
        whileBoxOpen(title);
    m_openBoxes.removeOne(title);
    return inputs.isEmpty() ? QString() : inputs.takeFirst();
}

void FakePlatform::processEvents()
{
    ++processEventsCount;
    if (onProcessEvents)
        onProcessEvents();
}

bool FakePlatform::setClipboardText(const QString &text)
{
    calls << QStringLiteral("clipboard|") + text;
    if (clipboardWorks)
        clipboard = text;
    return clipboardWorks;
}

bool FakePlatform::openUrl(const QString &url)
{
    calls << QStringLiteral("openUrl|") + url;
    return true;
}

bool FakePlatform::activateWindowByTitle(const QString &title)
{
    calls << QStringLiteral("activate|") + title;
    for (const QString &open : m_openBoxes)
        if (open.startsWith(title))
            return true;
    return false;
}

bool FakePlatform::startWindowMove(QWidget *)
{
    calls << QStringLiteral("windowMove");
    return true;
}

int FakePlatform::count(const QString &prefix) const
{
    int n = 0;
    for (const QString &c : calls)
        n += c.startsWith(prefix);
    return n;
}

void FakePlatform::reset()
{
    calls.clear();
    answers.clear();
    inputs.clear();
    processEventsCount = 0;
    sleptMs = 0;
}
