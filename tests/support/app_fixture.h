// The whole program on a simulated network, with the recording platform and
// settings kept in a temporary file.
#pragma once

#include "app/settings_store.h"
#include "app/velmora_app.h"
#include "support/fake_platform.h"
#include "support/test_network.h"

#include <QTemporaryDir>
#include <memory>

struct AppFixture
{
    AppFixture();
    ~AppFixture();

    // Creates a file on FS1's SYS volume (drive F:), e.g. "APPS\DATA\ORDERS.DBF".
    void createFile(const QString &dosRelative, const QByteArray &content = "data");
    // Writes the network, then builds and starts the program.
    void start(const QString &commandLine = QString());
    QString settingsFile() const { return m_settingsDir.filePath(QStringLiteral("Velmora.conf")); }

    QTemporaryDir m_settingsDir;
    TestNetwork net;
    FakePlatform platform;
    std::unique_ptr<SettingsStore> store;
    std::unique_ptr<VelmoraApp> app;
};
