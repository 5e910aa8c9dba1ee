#include "support/fake_platform.h"

namespace {
QString iconName(Platform::Icon i)
{
    switch (i) {
    case Platform::Icon::None: return QStringLiteral("none");
    case Platform::Icon::Exclamation: return QStringLiteral("exclamation");
    case Platform::Icon::Question: return QStringLiteral("question");
    case Platform::Icon::Information: return QStringLiteral("information");
    }
    return {};
}
} // namespace

bool FakePrinter::begin()
{
    calls << QStringLiteral("begin");
    if (!available)
        return false;
    m_open = true;
    lines.clear();
    return true;
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
    if (!m_open)
        return false;
    lines.append({line, m_bold, m_font});
    return true;
}

bool FakePrinter::endDocument()
{
    calls << QStringLiteral("end");
    if (!m_open)
        return false;
    m_open = false;
    if (failEnd)
        return false;
    ++documentsEnded;
    return true;
}

void FakePlatform::beep()
{
    calls << QStringLiteral("beep");
}

Platform::Answer FakePlatform::messageBox(QWidget *, const QString &text, const QString &title,
                                          Icon icon, Buttons buttons, bool topmost)
{
    calls << QStringLiteral("box|%1|%2|%3|%4%5")
                 .arg(title, text, iconName(icon),
                      buttons == Buttons::YesNo ? QStringLiteral("yesno") : QStringLiteral("ok"),
                      topmost ? QStringLiteral("|topmost") : QString());
    openBoxes << title;
    if (whileBoxOpen)
        whileBoxOpen(title);
    openBoxes.removeOne(title);
    if (buttons == Buttons::Ok)
        return Answer::Ok;
    return answers.isEmpty() ? Answer::No : answers.takeFirst();
}

QString FakePlatform::inputBox(QWidget *, const QString &prompt, const QString &title,
                               const QString &defaultText)
{
    calls << QStringLiteral("input|%1|%2|%3").arg(title, prompt, defaultText);
    return inputs.isEmpty() ? QString() : inputs.takeFirst();
}

void FakePlatform::pushBusyCursor()
{
    ++busyDepth;
}

void FakePlatform::popBusyCursor()
{
    if (busyDepth > 0)
        --busyDepth;
}

QDateTime FakePlatform::now()
{
    return clock;
}

void FakePlatform::processEvents()
{
    ++processEventsCount;
    if (onProcessEvents)
        onProcessEvents();
}

void FakePlatform::sleepMs(int ms)
{
    sleptMs += ms;
}

bool FakePlatform::setClipboardText(const QString &text)
{
    calls << QStringLiteral("clipboard|") + text;
    if (!clipboardWorks)
        return false;
    clipboard = text;
    return true;
}

bool FakePlatform::openUrl(const QString &url)
{
    calls << QStringLiteral("openUrl|") + url;
    return urlOpens;
}

bool FakePlatform::activateWindowByTitle(const QString &title)
{
    calls << QStringLiteral("activate|") + title;
    for (const QString &open : openBoxes)
        if (open == title || open.startsWith(title))
            return true;
    return false;
}

QSize FakePlatform::screenSize()
{
    return screen;
}

bool FakePlatform::startWindowMove(QWidget *)
{
    calls << QStringLiteral("windowMove");
    return windowMoveWorks;
}

int FakePlatform::count(const QString &prefix) const
{
    int n = 0;
    for (const QString &c : calls)
        if (c.startsWith(prefix))
            ++n;
    return n;
}

QStringList FakePlatform::boxes() const
{
    QStringList out;
    for (const QString &c : calls)
        if (c.startsWith(QStringLiteral("box|")))
            out << c;
    return out;
}

void FakePlatform::reset()
{
    calls.clear();
    answers.clear();
    inputs.clear();
    processEventsCount = 0;
    sleptMs = 0;
}
