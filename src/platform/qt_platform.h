// The real platform: Qt widgets, the desktop's clipboard, printer and browser.
#pragma once

#include "platform/platform.h"

#include <memory>

class QtPrinter;

class QtPlatform final : public Platform
{
public:
    QtPlatform();
    ~QtPlatform() override;

    void beep() override;
    Answer messageBox(QWidget *parent, const QString &text, const QString &title, Icon icon,
                      Buttons buttons, bool topmost) override;
    QString inputBox(QWidget *parent, const QString &prompt, const QString &title,
                     const QString &defaultText) override;
    void pushBusyCursor() override;
    void popBusyCursor() override;
    QDateTime now() override;
    void processEvents() override;
    void sleepMs(int ms) override;
    bool setClipboardText(const QString &text) override;
    Printer &printer() override;
    bool openUrl(const QString &url) override;
    bool activateWindowByTitle(const QString &title) override;
    QSize screenSize() override;
    bool startWindowMove(QWidget *window) override;

private:
    std::unique_ptr<QtPrinter> m_printer;
    int m_busyDepth = 0;
};
