#include "app/settings_store.h"

#include "platform/platform.h"

namespace {
const QString kGroup = QStringLiteral("Options/");
}

SettingsStore::SettingsStore()
    : m_settings(std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                             ProductName, ProductName))
{
}

SettingsStore::SettingsStore(const QString &iniFile)
    : m_settings(std::make_unique<QSettings>(iniFile, QSettings::IniFormat))
{
}

QString SettingsStore::read(const QString &key, const QString &defaultValue) const
{
    const QVariant v = m_settings->value(kGroup + key);
    // Anything that is not a plain string (a hand-edited list, say) counts
    // as missing rather than being turned into some other text.
    if (!v.isValid() || v.typeId() != QMetaType::QString)
        return defaultValue;
    return v.toString();
}

void SettingsStore::write(const QString &key, const QString &value)
{
    m_settings->setValue(kGroup + key, value);
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

void SettingsStore::sync() { m_settings->sync(); }
