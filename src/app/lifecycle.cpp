#include "app/lifecycle.h"

#include "app/settings_store.h"
#include "app/tray_icon.h"
#include "browser/file_browser.h"
#include "browser/file_exists.h"
#include "forms/form1.h"
#include "netware/mapped_drives.h"
#include "options/notification_settings.h"
#include "platform/command_line_file.h"
#include "platform/drive_namespace.h"
#include "platform/platform.h"

#include <QComboBox>

Lifecycle::Lifecycle(Form1 &form, Platform &platform, SettingsStore &store, FileBrowser &browser,
                     TrayIcon &tray, NotificationSettings &settings)
    : initClient([] { return NWCallsInit(nullptr, nullptr); }),
      m_form(form),
      m_platform(platform),
      m_store(store),
      m_browser(browser),
      m_tray(tray),
      m_settings(settings)
{
}

void Lifecycle::startup(const QString &commandLine)
{
    BusyCursor busy(m_platform);
    m_form.setWindowTitle(QStringLiteral("Velmora"));

    if (initClient() != 0) {
        // A desktop launcher shows no standard error: the reason goes on screen.
        m_form.setStatus(NWClientInitError());
        m_platform.beep();
        m_platform.messageBox(
            &m_form, QStringLiteral("Error! Could not initialize Netware Client."),
            QStringLiteral("Velmora"), Platform::Icon::Exclamation, Platform::Buttons::Ok);
        return;
    }
    m_clientStarted = true;
    DriveNamespace::setNetworkDrives(NWClientMappedDrives());
    m_browser.refreshDrives();

    m_browser.restore(m_store.path(), m_store.pattern());

    for (const QString &path : m_store.readHistory(SettingsStore::FileHistory))
        m_browser.appendFileHistory(path);
    m_fileHistoryAtStart = int(m_browser.fileHistory().size());
    for (const QString &pattern : m_store.readHistory(SettingsStore::PatternHistory))
        m_browser.appendPatternHistory(pattern);
    m_patternHistoryAtStart = int(m_browser.patternHistory().size());

    m_tray.add();
    m_settings = NotificationSettings::startValues();
    busy.release();

    const QString text = commandLine.trimmed();
    if (text.isEmpty() || text == QStringLiteral("/p"))
        return;
    const QString file = commandLineFile(text);
    if (file.isEmpty() || !FileExists(file)) {
        m_platform.beep();
        m_form.setStatus(QStringLiteral("Passed file '") + text
                         + QStringLiteral("' does not exist."));
        return;
    }
    m_browser.openAndScan(file);
}

QString Lifecycle::commandLineFile(const QString &text) { return CommandLineFile(text); }

void Lifecycle::shutdown()
{
    if (m_shutDown)
        return;
    m_shutDown = true;
    m_tray.remove();
    // After a failed client start the window never held the stored values.
    if (!m_clientStarted)
        return;
    m_store.setPath(m_browser.directoryPath());
    m_store.setPattern(m_form.Combo2()->currentText());
    const QStringList files = m_browser.fileHistory();
    if (files.size() != m_fileHistoryAtStart)
        m_store.writeHistory(SettingsStore::FileHistory, files);
    const QStringList patterns = m_browser.patternHistory();
    if (patterns.size() != m_patternHistoryAtStart)
        m_store.writeHistory(SettingsStore::PatternHistory, patterns);
    m_store.sync();
}
