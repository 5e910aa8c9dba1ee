// Tells whether a file may have changed since the last ask, from the
// kernel's change notifications instead of a stat per ask: a rights lookup
// checks the description once per listed user, so a quiet ask must cost
// next to nothing.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <thread>

class ChangeWatch final
{
public:
    // Watches nothing (and always answers "may have changed") where a
    // change could go unnoticed: a symbolic link or ".." on the way, a file
    // system the kernel may not hear every change of, no notifications.
    explicit ChangeWatch(const QString &file);
    ~ChangeWatch();
    ChangeWatch(const ChangeWatch &) = delete;
    ChangeWatch &operator=(const ChangeWatch &) = delete;

    // False only when nothing that decides what the file's path reads has
    // changed since the last call, or since construction for the first.
    bool mayHaveChanged();
    bool watching() const { return m_fd >= 0; }

private:
    void stop();
    void watchFile();
    bool arm();

    int m_fd = -1;
    int m_slot = -1; // in the table of signalling watches; -1 when it only reads its queue
    bool m_armed = false; // a signal would tell of the next event
    unsigned m_seen = 0; // signals counted when last armed
    std::thread::id m_owner; // the thread signals go to; none at first
    int m_folder = -1; // the watch on the file's own folder
    QList<int> m_files; // on the file's inodes, the current one and those on their way out
    QByteArray m_name; // the file's name in it
    QByteArray m_native; // the whole path, for the symlink check
};
