#include "netware/atomic_write.h"

#include <QFileInfo>
#include <QTemporaryFile>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace {
std::atomic<int> g_failures {0};
}

void FailNextAtomicWrites(int count) { g_failures = count; }

bool WriteFileAtomically(const QString &file, const QByteArray &bytes, QString *error)
{
    auto failed = [&](const QString &problem) {
        if (error)
            *error = problem;
        return false;
    };
    // Writing through a symlink replaces what it points to, not the link.
    const QFileInfo given(file);
    const QString target = given.exists() ? given.canonicalFilePath() : given.absoluteFilePath();
    QTemporaryFile temp(target + QStringLiteral(".XXXXXX"));
    if (!temp.open())
        return failed(QStringLiteral("cannot create a temporary file next to %1: %2")
                          .arg(target, temp.errorString()));
    if (given.exists())
        temp.setPermissions(QFileInfo(target).permissions());
    const bool injected = g_failures > 0 && g_failures-- > 0;
    // Qt buffers writes, so a full disk may show only at the flush.
    const bool written = temp.write(bytes) == bytes.size() && temp.flush() && !injected;
    if (!written)
        return failed(injected ? QStringLiteral("cannot be written: No space left on device")
                               : QStringLiteral("cannot be written: %1").arg(temp.errorString()));
    if (::fsync(temp.handle()) != 0)
        return failed(QStringLiteral("cannot be written: %1")
                          .arg(QString::fromLocal8Bit(std::strerror(errno))));
    temp.close();
    if (temp.error() != QFileDevice::NoError)
        return failed(QStringLiteral("cannot be written: %1").arg(temp.errorString()));
    // rename(2) replaces the target in one step; QFile::rename() would refuse.
    if (std::rename(QFile::encodeName(temp.fileName()).constData(),
                    QFile::encodeName(target).constData())
        != 0)
        return failed(QStringLiteral("cannot replace %1: %2")
                          .arg(target, QString::fromLocal8Bit(std::strerror(errno))));
    temp.setAutoRemove(false);
    return true;
}
