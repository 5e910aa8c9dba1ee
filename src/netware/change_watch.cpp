#include "netware/change_watch.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_LINUX
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

// Local file systems, where every change made on this machine is notified.
// Network file systems are left out: changes made on another machine are not.
bool notifiesEveryChange(const QByteArray &folder)
{
    struct statfs fs;
    if (::statfs(folder.constData(), &fs) != 0)
        return false;
    switch (static_cast<unsigned long>(fs.f_type)) {
    case 0xEF53: // ext2, ext3, ext4
    case 0x01021994: // tmpfs
    case 0x58465342: // xfs
    case 0x9123683E: // btrfs
    case 0xF2F52010: // f2fs
    case 0x794C7630: // overlay, as in containers: changes go through it
        return true;
    default:
        return false;
    }
}

bool isSymlink(const QByteArray &path)
{
    struct stat st;
    return ::lstat(path.constData(), &st) == 0 && S_ISLNK(st.st_mode);
}

constexpr uint32_t kSelf = IN_DELETE_SELF | IN_MOVE_SELF;
// On the file itself: a change made through a hard link in another folder.
constexpr uint32_t kFile = IN_MODIFY | IN_ATTRIB | IN_CLOSE_WRITE | IN_DONT_FOLLOW;

} // namespace

ChangeWatch::ChangeWatch(const QString &file)
{
    const QFileInfo info(file);
    const QString folder = info.absolutePath();
    // The path as given must be the one the kernel resolves: a symbolic link
    // can be aimed elsewhere without a notification for this watch.
    if (QFileInfo(folder).canonicalFilePath() != folder || info.absoluteFilePath() != file)
        return;
    m_native = QFile::encodeName(file);
    m_name = QFile::encodeName(info.fileName());
    const QByteArray nativeFolder = QFile::encodeName(folder);
    if (isSymlink(m_native) || !notifiesEveryChange(nativeFolder))
        return;
    m_fd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (m_fd < 0)
        return;
    m_folder = ::inotify_add_watch(m_fd, nativeFolder.constData(),
                                   IN_MODIFY | IN_ATTRIB | IN_CLOSE_WRITE | IN_CREATE | IN_DELETE
                                       | IN_MOVED_FROM | IN_MOVED_TO | kSelf | IN_ONLYDIR);
    if (m_folder < 0) {
        stop();
        return;
    }
    watchFile();
    // A folder above moved or removed re-aims the path. Only its own events:
    // those of its entries (a file touched in /tmp) tell nothing here.
    for (QDir up(folder); up.cdUp() && !up.isRoot();) {
        if (::inotify_add_watch(m_fd, QFile::encodeName(up.path()).constData(), kSelf | IN_ONLYDIR)
            < 0) {
            stop();
            return;
        }
    }
}

ChangeWatch::~ChangeWatch() { stop(); }

void ChangeWatch::stop()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    m_files.clear();
}

void ChangeWatch::watchFile()
{
    // The same inode gives the same watch back; a missing file is seen
    // arriving by the folder's watch.
    const int wd = ::inotify_add_watch(m_fd, m_native.constData(), kFile);
    if (wd >= 0 && !m_files.contains(wd))
        m_files.append(wd);
}

bool ChangeWatch::mayHaveChanged()
{
    if (m_fd < 0)
        return true;
    alignas(inotify_event) char buffer[4096];
    bool changed = false;
    for (;;) {
        const ssize_t n = ::read(m_fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno == EAGAIN)
            break;
        if (n <= 0) {
            stop();
            return true;
        }
        for (ssize_t at = 0; at < n;) {
            const auto *e = reinterpret_cast<const inotify_event *>(buffer + at);
            at += ssize_t(sizeof(inotify_event) + e->len);
            if (m_files.contains(e->wd)) {
                // A replaced file's old inode goes; its watch goes with it.
                if (e->mask & IN_IGNORED)
                    m_files.removeOne(e->wd);
                else
                    changed = true;
                continue;
            }
            // Lost events, or the path itself re-aimed: from here on every
            // ask is a stat, as without a watch.
            if (e->wd != m_folder
                || (e->mask & (kSelf | IN_IGNORED | IN_UNMOUNT | IN_Q_OVERFLOW))) {
                stop();
                return true;
            }
            // The folder itself (its permissions) or the file's entry in it.
            if (e->len == 0 || std::strcmp(e->name, m_name.constData()) == 0)
                changed = true;
        }
    }
    if (!changed)
        return false;
    // A link put in the file's place points where this watch cannot see.
    if (isSymlink(m_native)) {
        stop();
        return true;
    }
    watchFile(); // a file put in place is a new inode
    return true;
}

#else

ChangeWatch::ChangeWatch(const QString &) { }
ChangeWatch::~ChangeWatch() = default;
void ChangeWatch::stop() { }
void ChangeWatch::watchFile() { }
bool ChangeWatch::mayHaveChanged() { return true; }

#endif
