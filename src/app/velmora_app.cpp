#include "app/velmora_app.h"

#include "about/about_box.h"
#include "actions/connection_actions.h"
#include "actions/reports.h"
#include "app/form1_wiring.h"
#include "app/lifecycle.h"
#include "app/main_window_behaviour.h"
#include "app/tray_icon.h"
#include "browser/file_browser.h"
#include "forms/form1.h"
#include "options/options_controller.h"
#include "scan/connection_details.h"
#include "scan/scanner.h"
#include "scan/trustee_rights.h"
#include "scan/watch_mode.h"

#include <QApplication>

VelmoraApp::VelmoraApp(Platform &platform, SettingsStore &store)
    : m_platform(platform), m_form(std::make_unique<Form1>())
{
    Form1 &f = *m_form;
    m_browser = std::make_unique<FileBrowser>(f, platform);
    m_scanner = std::make_unique<Scanner>(f, platform, m_scan, &LookUpTrusteeRights);
    m_watch = std::make_unique<WatchMode>(f, platform, m_settings);
    m_details = std::make_unique<ConnectionDetails>(f, m_scan, platform);
    m_actions = std::make_unique<ConnectionActions>(f, platform, m_scan);
    m_reports
        = std::make_unique<Reports>(f, m_scan, platform, [this] { return m_browser->fullPath(); });
    m_about = std::make_unique<AboutBox>(f, platform);
    m_options = std::make_unique<OptionsController>(f, platform, m_settings);
    m_tray = std::make_unique<TrayIcon>(f);
    m_behaviour = std::make_unique<MainWindowBehaviour>(f, platform, *m_tray);
    m_lifecycle = std::make_unique<Lifecycle>(f, platform, store, *m_browser, *m_tray, m_settings);

    QObject::connect(m_scanner.get(), &Scanner::completed, &f,
                     [this](const QString &fullPath, bool usersFound) {
                         m_browser->addToFileHistory(fullPath);
                         m_watch->NotifyOutcome(usersFound, m_browser->selectedFileName());
                     });

    Form1Handlers handlers {*m_browser, *m_scanner, *m_watch, *m_details,
                            *m_actions, *m_reports, *m_about, *m_options};
    wireForm1(f, handlers);
    QObject::connect(&f, &Form1::closing, &f, [this] {
        m_lifecycle->shutdown();
        emit closed();
    });
    QObject::connect(&f, &Form1::stateChanged, m_behaviour.get(),
                     &MainWindowBehaviour::onStateChanged);
    // Settings are written however the program ends, not only by a close.
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, &f, [this] { m_lifecycle->shutdown(); });
}

VelmoraApp::~VelmoraApp() = default;

void VelmoraApp::start(const QString &commandLine)
{
    m_lifecycle->startup(commandLine);
    m_form->show();
}
