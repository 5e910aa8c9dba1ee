#include "app/settings_store.h"
#include "app/velmora_app.h"
#include "platform/platform.h"
#include "platform/qt_platform.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(ProductName);
    QApplication::setOrganizationName(ProductName);
    // The window hides in the tray, and a notification box may be the last
    // window on screen: only closing the main window ends the program.
    QApplication::setQuitOnLastWindowClosed(false);

    QtPlatform platform;
    SettingsStore store;
    VelmoraApp velmora(platform, store);
    QObject::connect(&velmora, &VelmoraApp::closed, &app, &QCoreApplication::quit);
    velmora.start(QCoreApplication::arguments().mid(1).join(QLatin1Char(' ')));
    return QApplication::exec();
}
