#include "app/settings_store.h"

#include "netware/atomic_write.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {
const QString kGroup = QStringLiteral("Options/");
}

SettingsStore::SettingsStore()
    : m_settings(std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                             QStringLiteral("Velmora"), QStringLiteral("Velmora")))
{
}

SettingsStore::SettingsStore(const QString &iniFile)
    : m_settings(std::make_unique<QSettings>(iniFile, QSettings::IniFormat))
{
}

SettingsStore::~SettingsStore() { sync(); }

QString SettingsStore::read(const QString &key, const QString &defaultValue) const
{
    if (const auto it = m_pending.constFind(kGroup + key); it != m_pending.cend())
        return *it;
    const QVariant v = m_settings->value(kGroup + key);
    // Anything that is not a plain string (a hand-edited list, say) counts
    // as missing rather than being turned into some other text.
    if (!v.isValid() || v.typeId() != QMetaType::QString)
        return defaultValue;
    return v.toString();
}

void SettingsStore::write(const QString &key, const QString &value)
{
    m_pending.insert(kGroup + key, value);
}

QStringList SettingsStore::readHistory(const QString &prefix) const
{
    QStringList out;
    for (int n = 0; n < MaxHistory; ++n) {
        const QString v = read(prefix + QString::number(n), QString());
        if (v.isEmpty())
            break;
        out << v;
    }
    return out;
}

void SettingsStore::writeHistory(const QString &prefix, const QStringList &entries)
{
    const QStringList newest = entries.mid(qMax<qsizetype>(0, entries.size() - MaxHistory));
    int n = 0;
    for (const QString &e : newest)
        write(prefix + QString::number(n++), e);
    // Keys are never deleted; an empty one stops a later read before any
    // older entry that may still stand behind it.
    if (n < MaxHistory)
        write(prefix + QString::number(n), QString());
}

bool SettingsStore::sync()
{
    if (m_pending.isEmpty())
        return true;
    // QSettings writes the whole file itself and, with Qt 6.4's QSaveFile,
    // can leave it cut short on a full disk while reporting success. So it
    // writes a draft elsewhere, the draft is read back and compared, and only
    // then are its bytes put in place with a checked atomic write.
    QTemporaryDir scratch;
    if (!scratch.isValid())
        return false;
    const QString draft = scratch.filePath(QStringLiteral("settings.conf"));
    QMap<QString, QVariant> expected;
    for (const QString &key : m_settings->allKeys())
        expected.insert(key, m_settings->value(key));
    for (auto it = m_pending.cbegin(); it != m_pending.cend(); ++it)
        expected.insert(it.key(), it.value());
    {
        QSettings out(draft, QSettings::IniFormat);
        for (auto it = expected.cbegin(); it != expected.cend(); ++it)
            out.setValue(it.key(), it.value());
        out.sync();
        if (out.status() != QSettings::NoError)
            return false;
    }
    // Read back from a checked copy: QSettings answers a second reader of the
    // draft from its cache, not from the bytes on disk.
    QFile in(draft);
    if (!in.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = in.readAll();
    const QString copy = scratch.filePath(QStringLiteral("check.conf"));
    if (!WriteFileAtomically(copy, bytes, nullptr))
        return false;
    {
        const QSettings back(copy, QSettings::IniFormat);
        if (back.status() != QSettings::NoError || back.allKeys().size() != expected.size())
            return false;
        for (auto it = expected.cbegin(); it != expected.cend(); ++it)
            if (back.value(it.key()) != it.value())
                return false;
    }
    const QString file = m_settings->fileName();
    QDir().mkpath(QFileInfo(file).absolutePath());
    if (!WriteFileAtomically(file, bytes, nullptr))
        return false;
    m_pending.clear();
    m_settings->sync(); // re-reads the new file
    return true;
}
