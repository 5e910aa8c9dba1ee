// The options window's behaviour: it opens modally from the main window with
// watch mode paused, shows NotificationSettings and edits them as they are
// clicked, and writes them back once more when it closes.
#pragma once

#include <QObject>
#include <functional>

class Form1;
class Options;
class Platform;
struct NotificationSettings;

class OptionsController final : public QObject
{
    Q_OBJECT
public:
    // Runs the open window until it has closed; exec() by default. Tests
    // replace it to drive the window without a nested event loop.
    using ModalRun = std::function<void(Options &window)>;

    OptionsController(Form1 &form, Platform &platform, NotificationSettings &settings,
                      QObject *parent = nullptr);

    void setModalRun(ModalRun run) { m_run = std::move(run); }

    // Command17 clicked.
    void open();

    // The window's own events; open() wires them to each new window.
    void load(Options &window);
    void onOptionClicked(Options &window);
    void onCheck1Clicked(Options &window);
    void onCheck2Clicked(Options &window);
    void onClosing(Options &window);

private:
    Form1 &m_form;
    Platform &m_platform;
    NotificationSettings &m_settings;
    ModalRun m_run;
};
