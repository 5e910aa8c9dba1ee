// The one seam between Velmora and the outside world: everything the toolkit
// does that a user can see or hear, or that reaches past the process, goes
// through here so tests can script and record it.
#pragma once

#include <QDateTime>
#include <QObject>
#include <QSize>
#include <QString>

class QWidget;

// The product's name in titles, boxes and the settings store.
inline const QString ProductName = QStringLiteral("Velmora");

// Counts the program's own modal dialogs (prompts, confirmations, error
// boxes, About) while they are open. The notification box is not one of
// them: scans go on under it.
class OpenDialogs final : public QObject
{
    Q_OBJECT
public:
    bool any() const { return m_count > 0; }
    void opened() { ++m_count; }
    void closed()
    {
        if (m_count > 0 && --m_count == 0)
            emit allClosed();
    }

signals:
    void allClosed();

private:
    int m_count = 0;
};

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

    // An error the user must see: beep, then a modal box with the
    // exclamation icon, an OK button and the product's name as title.
    void errorBox(QWidget *parent, const QString &text);
    OpenDialogs &openDialogs() { return m_openDialogs; }

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

private:
    OpenDialogs m_openDialogs;
};

// Marks one of the program's own modal dialogs open for one scope.
class DialogScope
{
public:
    explicit DialogScope(Platform &p) : m_dialogs(p.openDialogs()) { m_dialogs.opened(); }
    ~DialogScope() { m_dialogs.closed(); }
    DialogScope(const DialogScope &) = delete;
    DialogScope &operator=(const DialogScope &) = delete;

private:
    OpenDialogs &m_dialogs;
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
