// Start-up and shutdown: the client, the stored folder, pattern and
// histories, the tray icon, the notification start values and the command line.
#pragma once

#include "netware/nwcalls.h"

#include <QString>
#include <functional>

class FileBrowser;
class Form1;
class Platform;
class SettingsStore;
class TrayIcon;
struct NotificationSettings;

class Lifecycle final
{
public:
    Lifecycle(Form1 &form, Platform &platform, SettingsStore &store, FileBrowser &browser,
              TrayIcon &tray, NotificationSettings &settings);

    // Starts the NetWare client; replaceable so tests can make it fail.
    std::function<NWCCODE()> initClient;

    // Runs before the window is first shown. The command line is the whole
    // argument text; a file named there is opened and scanned.
    void startup(const QString &commandLine);
    // Runs once, whichever way the window closes.
    void shutdown();

    bool clientStarted() const { return m_clientStarted; }

    // The file a command-line text names, in DOS form: a native path or a
    // bare name (resolved against the current folder) is translated.
    static QString commandLineFile(const QString &text);

private:
    Form1 &m_form;
    Platform &m_platform;
    SettingsStore &m_store;
    FileBrowser &m_browser;
    TrayIcon &m_tray;
    NotificationSettings &m_settings;
    bool m_clientStarted = false;
    bool m_shutDown = false;
    int m_fileHistoryAtStart = 0;
    int m_patternHistoryAtStart = 0;
};
