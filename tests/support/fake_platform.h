// A recording platform for tests: every outward call is appended to calls(),
// dialogs take their answers from scripted queues, and nothing ever blocks.
#pragma once

#include "platform/platform.h"

#include <QList>
#include <QStringList>
#include <functional>

class FakePrinter final : public Printer
{
public:
    struct Line
    {
        QString text;
        bool bold;
        QString font;
    };
    bool begin() override;
    bool setFontName(const QString &name) override;
    bool setBold(bool on) override;
    bool printLine(const QString &line) override;
    bool endDocument() override;

    bool available = true; // false: begin() fails, as with no printer
    bool failEnd = false; // the printer refuses the finished document
    QList<Line> lines; // lines of the last document
    QStringList calls; // every printer call in order

private:
    bool m_open = false;
    bool m_bold = false;
    QString m_font;
};

class FakePlatform final : public Platform
{
public:
    void beep() override { calls << QStringLiteral("beep"); }
    Answer messageBox(QWidget *parent, const QString &text, const QString &title, Icon icon,
                      Buttons buttons, bool topmost = false) override;
    QString inputBox(QWidget *parent, const QString &prompt, const QString &title,
                     const QString &defaultText) override;
    void pushBusyCursor() override { ++busyDepth; }
    void popBusyCursor() override { busyDepth -= busyDepth > 0; }
    QDateTime now() override { return clock; }
    void processEvents() override;
    void sleepMs(int ms) override { sleptMs += ms; }
    bool setClipboardText(const QString &text) override;
    Printer &printer() override { return realPrinter ? *realPrinter : fakePrinter; }
    bool openUrl(const QString &url) override;
    bool activateWindowByTitle(const QString &title) override;
    QSize screenSize() override { return screen; }
    bool startWindowMove(QWidget *) override;

    // Scripted answers; an empty queue answers Ok / No and "" (cancel).
    QList<Answer> answers;
    QStringList inputs;
    // Runs while a message or input box is "open" (after it is recorded), so a test
    // can deliver timer ticks or clicks into the nested event loop.
    std::function<void(const QString &title)> whileBoxOpen;
    // Runs on every processEvents(), e.g. to press Stop in the middle of a scan.
    std::function<void()> onProcessEvents;

    QDateTime clock = QDateTime(QDate(1999, 12, 6), QTime(14, 15));
    QSize screen = QSize(1024, 768);
    bool clipboardWorks = true;
    QString clipboard;

    QStringList calls; // "beep", "box|title|text|icon|buttons", "input|title|prompt|default", ...
    int busyDepth = 0;
    int processEventsCount = 0;
    int sleptMs = 0;

    int count(const QString &prefix) const;
    void reset();

    FakePrinter fakePrinter;
    Printer *realPrinter = nullptr; // set to print through another printer

private:
    QStringList m_openBoxes; // titles of boxes whose call has not returned yet
};
