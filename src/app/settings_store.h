// The per-user settings: one place that knows every key, its default and how
// the two histories are read and written.
#pragma once

#include <QMap>
#include <QSettings>
#include <QString>
#include <QStringList>
#include <memory>

class SettingsStore
{
public:
    // Application "Velmora", section "Options", in the platform's native store.
    SettingsStore();
    // A store kept in one file (tests and tools).
    explicit SettingsStore(const QString &iniFile);
    ~SettingsStore(); // writes what is still pending

    QString read(const QString &key, const QString &defaultValue) const;
    void write(const QString &key, const QString &value);

    QString path() const { return read(QStringLiteral("Path"), QStringLiteral("\\")); }
    void setPath(const QString &p) { write(QStringLiteral("Path"), p); }
    QString pattern() const { return read(QStringLiteral("Pattern"), QStringLiteral("*.*")); }
    void setPattern(const QString &p) { write(QStringLiteral("Pattern"), p); }

    static inline const QString FileHistory = QStringLiteral("Path_");
    static inline const QString PatternHistory = QStringLiteral("Pattern_");
    static constexpr int MaxHistory = 10;

    // Entries from <prefix>0 up to the first empty one, at most 10.
    QStringList readHistory(const QString &prefix) const;
    // The newest 10 entries (the list's end), oldest first, so that reading
    // gives back the same order; an empty key after them ends the history.
    void writeHistory(const QString &prefix, const QStringList &entries);

    // Writes the changed values. The file is replaced only by a complete,
    // checked new one: on any failure it stays as it was and false is returned.
    bool sync();

private:
    std::unique_ptr<QSettings> m_settings; // only read: QSettings' own write can truncate
    QMap<QString, QString> m_pending; // full key -> value, written by sync()
};
