#include "support/app_fixture.h"

#include "platform/drive_namespace.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

AppFixture::AppFixture() : store(std::make_unique<SettingsStore>(settingsFile()))
{
    net.addServer(QStringLiteral("FS1"));
    net.mapDrive(QStringLiteral("F"), QStringLiteral("FS1/SYS:"));
}

AppFixture::~AppFixture()
{
    app.reset();
    DriveNamespace::setNetworkDrives({});
}

void AppFixture::createFile(const QString &dosRelative, const QByteArray &content)
{
    const QString path
        = net.volumeDir(QStringLiteral("FS1")) + '/' + QString(dosRelative).replace('\\', '/');
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(content);
}

void AppFixture::start(const QString &commandLine)
{
    net.install();
    app = std::make_unique<VelmoraApp>(platform, *store);
    app->start(commandLine);
}
