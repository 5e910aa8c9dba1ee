#include "netware/change_watch.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_LINUX
#include <fcntl.h>
#include <signal.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>

namespace {

// A watch that can, has the kernel signal the asking thread when an event
// comes in, so that a quiet ask costs no system call: on virtual machines
// that trap every one, reading the empty queue at each ask (a rights lookup
// asks once per listed user) doubled the scan. The kernel makes the signal
// pending before the change's own call returns, and the thread runs the
// handler before it next leaves the kernel, so whatever tells this process
// of a change (a pipe, a child's exit, its own call) comes after it.
std::atomic<unsigned> g_signals {0};
constexpr int kSlots = 16;
std::atomic<int> g_armed[kSlots] {}; // descriptor + 1 of each signalling watch; 0 is free

void onNotified(int, siginfo_t *info, void *)
{
    const int saved = errno;
    // Once per ask at most: the next ask re-arms, so a busy folder cannot
    // keep interrupting the thread. Only a watch's own descriptor is touched;
    // a late signal may name a number already closed and reused.
    for (const auto &slot : g_armed)
        if (slot.load(std::memory_order_relaxed) == info->si_fd + 1) {
            ::fcntl(info->si_fd, F_SETFL, O_NONBLOCK);
            break;
        }
    g_signals.fetch_add(1, std::memory_order_relaxed);
    errno = saved;
}

// The real-time signal the watches use, installed once; 0 when another part
// of the process has taken it, and the watches then read their queues.
int notifySignal()
{
    static const int signal = [] {
        const int s = SIGRTMIN + 5;
        struct sigaction old = {};
        if (s > SIGRTMAX || ::sigaction(s, nullptr, &old) != 0
            || (!(old.sa_flags & SA_SIGINFO) && old.sa_handler != SIG_DFL))
            return 0;
        if (old.sa_flags & SA_SIGINFO)
            return old.sa_sigaction == onNotified ? s : 0;
        struct sigaction sa = {};
        sa.sa_sigaction = onNotified;
        sa.sa_flags = SA_SIGINFO | SA_RESTART;
        sigemptyset(&sa.sa_mask);
        return ::sigaction(s, &sa, nullptr) == 0 ? s : 0;
    }();
    return signal;
}

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
    if (const int signal = notifySignal(); signal && ::fcntl(m_fd, F_SETSIG, signal) == 0)
        for (int i = 0; i < kSlots && m_slot < 0; ++i) {
            int free = 0;
            if (g_armed[i].compare_exchange_strong(free, m_fd + 1))
                m_slot = i;
        }
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
    if (m_slot >= 0)
        g_armed[m_slot].store(0);
    m_slot = -1;
    m_armed = false;
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    m_files.clear();
}

bool ChangeWatch::arm()
{
    if (m_slot < 0)
        return false;
    const int signal = notifySignal();
    if (m_owner != std::this_thread::get_id()) {
        // A thread that blocks the signal would leave it pending unseen.
        sigset_t blocked;
        const f_owner_ex owner {F_OWNER_TID, ::gettid()};
        if (::pthread_sigmask(SIG_BLOCK, nullptr, &blocked) != 0
            || sigismember(&blocked, signal) != 0 || ::fcntl(m_fd, F_SETOWN_EX, &owner) != 0)
            return false;
        m_owner = std::this_thread::get_id();
    }
    return ::fcntl(m_fd, F_SETFL, O_NONBLOCK | O_ASYNC) == 0;
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
    if (m_armed && m_owner == std::this_thread::get_id()
        && g_signals.load(std::memory_order_relaxed) == m_seen)
        return false;
    // Armed before the queue is read: an event after this is either read
    // below or signalled for the next ask.
    m_seen = g_signals.load(std::memory_order_relaxed);
    m_armed = arm();
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
