// The composition root: the main window, its subsystems and their wiring.
#pragma once

#include "options/notification_settings.h"
#include "scan/scan_context.h"

#include <QObject>
#include <QString>
#include <memory>

class AboutBox;
class ConnectionActions;
class ConnectionDetails;
class FileBrowser;
class Form1;
class Lifecycle;
class MainWindowBehaviour;
class OptionsController;
class Platform;
class Reports;
class Scanner;
class SettingsStore;
class TrayIcon;
class WatchMode;

class VelmoraApp final : public QObject
{
    Q_OBJECT
public:
    VelmoraApp(Platform &platform, SettingsStore &store);
    ~VelmoraApp() override;

    // Start-up, then the first show of the window.
    void start(const QString &commandLine);

    Form1 &form() { return *m_form; }
    FileBrowser &browser() { return *m_browser; }
    Scanner &scanner() { return *m_scanner; }
    Lifecycle &lifecycle() { return *m_lifecycle; }
    OptionsController &options() { return *m_options; }
    ConnectionActions &actions() { return *m_actions; }
    MainWindowBehaviour &behaviour() { return *m_behaviour; }
    TrayIcon &tray() { return *m_tray; }
    ScanContext &scanContext() { return m_scan; }
    NotificationSettings &notificationSettings() { return m_settings; }

signals:
    // After shutdown, when the window has closed; main() ends the program.
    void closed();

private:
    Platform &m_platform;
    ScanContext m_scan;
    NotificationSettings m_settings;
    std::unique_ptr<Form1> m_form;
    std::unique_ptr<FileBrowser> m_browser;
    std::unique_ptr<Scanner> m_scanner;
    std::unique_ptr<WatchMode> m_watch;
    std::unique_ptr<ConnectionDetails> m_details;
    std::unique_ptr<ConnectionActions> m_actions;
    std::unique_ptr<Reports> m_reports;
    std::unique_ptr<AboutBox> m_about;
    std::unique_ptr<OptionsController> m_options;
    std::unique_ptr<TrayIcon> m_tray;
    std::unique_ptr<MainWindowBehaviour> m_behaviour;
    std::unique_ptr<Lifecycle> m_lifecycle;
};
