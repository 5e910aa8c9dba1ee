// The one seam between Velmora and the outside world: everything the toolkit
// does that a user can see or hear, or that reaches past the process, goes
// through here so tests can script and record it.
#pragma once

#include <QDateTime>
#include <QSize>
#include <QString>

class QWidget;

class Printer
{
public:
    virtual ~Printer() = default;
    // Each step reports whether it worked; a failed begin means "no printer".
    virtual bool begin() = 0;
    virtual bool setFontName(const QString &name) = 0;
    virtual bool setBold(bool on) = 0;
    virtual bool printLine(const QString &line) = 0;
    virtual bool endDocument() = 0;
};

class Platform
{
public:
    enum class Icon { None, Exclamation, Question, Information };
    enum class Buttons { Ok, YesNo };
    enum class Answer { Ok, Yes, No };

    virtual ~Platform() = default;

    virtual void beep() = 0;
    // Modal; `topmost` keeps the box in front of every window of the desktop.
    virtual Answer messageBox(QWidget *parent, const QString &text, const QString &title, Icon icon,
                              Buttons buttons, bool topmost = false)
        = 0;
    // Returns the entered text, or an empty text when cancelled.
    virtual QString inputBox(QWidget *parent, const QString &prompt, const QString &title,
                             const QString &defaultText)
        = 0;

    // Nestable: every push is matched by one pop.
    virtual void pushBusyCursor() = 0;
    virtual void popBusyCursor() = 0;

    virtual QDateTime now() = 0;
    virtual void processEvents() = 0;
    virtual void sleepMs(int ms) = 0;

    virtual bool setClipboardText(const QString &text) = 0;
    virtual Printer &printer() = 0;
    virtual bool openUrl(const QString &url) = 0;

    // Brings the top-level window with this title (or, failing an exact
    // match, one whose title begins with it) to the front.
    virtual bool activateWindowByTitle(const QString &title) = 0;
    virtual QSize screenSize() = 0;
    // Hands a left-button drag to the window system, as a title-bar drag.
    virtual bool startWindowMove(QWidget *window) = 0;
};

// Keeps the busy pointer up for one scope, whichever way the scope is left.
class BusyCursor
{
public:
    explicit BusyCursor(Platform &p) : m_p(p) { m_p.pushBusyCursor(); }
    ~BusyCursor() { release(); }
    void release()
    {
        if (m_held) {
            m_held = false;
            m_p.popBusyCursor();
        }
    }
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;

private:
    Platform &m_p;
    bool m_held = true;
};
