#include "support/app_fixture.h"

#include "forms/form1.h"
#include "platform/drive_namespace.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

AppFixture::AppFixture()
{
    net.addServer(QStringLiteral("FS1"));
    net.mapDrive(QStringLiteral("F"), QStringLiteral("FS1/SYS:"));
    store = std::make_unique<SettingsStore>(settingsFile());
}

AppFixture::~AppFixture()
{
    app.reset();
    DriveNamespace::setNetworkDrives({});
}

void AppFixture::createFile(const QString &dosRelative, const QByteArray &content)
{
    QString rel = dosRelative;
    rel.replace(QLatin1Char('\\'), QLatin1Char('/'));
    const QString path = net.volumeDir(QStringLiteral("FS1")) + QLatin1Char('/') + rel;
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

void AppFixture::reinstall()
{
    net.install();
}
