// SPDX-License-Identifier: MIT
#include "files/workfolder.h"

#include "common/regularfile.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QLoggingCategory>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>

#ifdef Q_OS_WIN
#include <qt_windows.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

Q_LOGGING_CATEGORY(lcWork, "parcelo.files.work")

namespace {

const QLatin1String lockSuffix(".lock");

// This program's own folder: its name, the lock that holds it and whether it stands now. It
// belongs to one shared folder; when the cache or the temporary directory changes (tests do
// that), a new one is chosen.
struct OwnFolder
{
    QString places;
    QString shared;
    QString name;
    QLockFile *lock = nullptr;
    bool made = false;
};

// Eight random letters and digits, like mkdtemp's: the folder is then made exclusively, so a
// name that another program drew as well is noticed, not shared.
QString randomName()
{
    static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    QString name = QStringLiteral("run-");
    for (int i = 0; i < 8; ++i)
        name += QLatin1Char(letters[QRandomGenerator::system()->bounded(int(sizeof(letters) - 1))]);
    return name;
}

// The user's own cache folder, which no other user can take: `$XDG_CACHE_HOME/parcelo` or
// `~/.cache/parcelo`, on Windows `%LOCALAPPDATA%/cache/parcelo`.
QString preferredPath()
{
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    // A relative one would land wherever the program happens to run.
    return QDir::isAbsolutePath(cache) ? cache + QStringLiteral("/parcelo") : QString();
}

void moveTo(OwnFolder &own, const QString &shared)
{
    delete own.lock;
    own.lock = nullptr;
    own.shared = shared;
    own.name = randomName();
    own.made = false;
}

OwnFolder &ownFolder()
{
    // Never destroyed, on purpose: the lock file then stays behind when the program ends, and its
    // stale lock tells the next run that the copies left in this folder are nobody's.
    static OwnFolder *own = new OwnFolder;
    const QString preferred = preferredPath();
    const QString places = preferred + QLatin1Char('\n') + QDir::tempPath();
    if (own->places != places) {
        own->places = places;
        moveTo(*own, preferred);
    }
    return *own;
}

// Missing, or a real folder of the current user.
bool isMissingOrOwnFolder(const QString &folder)
{
#ifdef Q_OS_WIN
    // The folder lies in the user's own local application data (see preferredPath()), or it is a
    // fresh one of ours; only a link could lead elsewhere.
    const QFileInfo info(folder);
    if (!info.exists() && !info.isSymLink())
        return true;
    return info.isDir() && !info.isSymLink() && !info.isJunction();
#else
    struct stat status;
    if (::lstat(QFile::encodeName(folder).constData(), &status) != 0)
        return errno == ENOENT;
    return S_ISDIR(status.st_mode) && status.st_uid == ::geteuid();
#endif
}

bool isOwnFolder(const QString &folder)
{
    return QFileInfo(folder).exists() && isMissingOrOwnFolder(folder);
}

// Makes the shared folder owner-only where it is missing, with the parents it needs; true when
// it is then a real folder of the user's own.
bool makeShared(const QString &shared)
{
    if (shared.isEmpty() || !isMissingOrOwnFolder(shared))
        return false;
#ifdef Q_OS_WIN
    return QDir().mkpath(shared) && isOwnFolder(shared);
#else
    const QByteArray sharedName = QFile::encodeName(shared);
    QDir().mkpath(QFileInfo(shared).absolutePath());
    if (::mkdir(sharedName.constData(), 0700) != 0 && errno != EEXIST)
        return false;
    // Between the check and the mkdir another user could have made it; check again, and keep an
    // older folder of ours private too.
    return isOwnFolder(shared) && ::chmod(sharedName.constData(), 0700) == 0;
#endif
}

// Makes a folder only the user may enter; false when anything already stands there.
bool makeFolderExclusively(const QString &folder)
{
#ifdef Q_OS_WIN
    return QDir().mkdir(folder);
#else
    return ::mkdir(QFile::encodeName(folder).constData(), 0700) == 0;
#endif
}

// A lock that can be taken although its file exists belonged to a program that has ended
// (QLockFile checks that its process is gone); that program's folder goes with it. A lock held
// by a running program, or a folder without a lock, is left alone.
void removeEndedRuns(const QString &shared, const QString &ownName)
{
    const QStringList locks =
        QDir(shared).entryList({QStringLiteral("run-*") + lockSuffix}, QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &lockName : locks) {
        const QString name = lockName.chopped(lockSuffix.size());
        if (name == ownName)
            continue;
        QLockFile theirs(shared + QLatin1Char('/') + lockName);
        theirs.setStaleLockTime(0);
        if (!theirs.tryLock(0))
            continue;
        const QString folder = shared + QLatin1Char('/') + name;
        if (isOwnFolder(folder) && !QDir(folder).removeRecursively())
            qCWarning(lcWork) << "could not remove the folder of an ended run:" << folder;
    }
}

} // namespace

QString WorkFolder::sharedPath()
{
    return ownFolder().shared;
}

QString WorkFolder::path()
{
    const OwnFolder &own = ownFolder();
    return own.shared + QLatin1Char('/') + own.name;
}

bool WorkFolder::isTrusted()
{
    return isMissingOrOwnFolder(sharedPath()) && isMissingOrOwnFolder(path());
}

bool WorkFolder::ensure()
{
    OwnFolder &own = ownFolder();
    if (!makeShared(own.shared)) {
        // A read-only home, or a folder there that is not ours: a fresh one of this run's own.
        QTemporaryDir fresh(QDir::tempPath() + QStringLiteral("/parcelo-XXXXXX"));
        fresh.setAutoRemove(false);
        if (!fresh.isValid())
            return false;
        qCInfo(lcWork) << "the cache folder" << own.shared << "cannot be used; copies go to" << fresh.path();
        moveTo(own, fresh.path());
    }
    if (!isMissingOrOwnFolder(path()))
        return false;
    const QString shared = own.shared;
    if (own.made && isOwnFolder(path()))
        return true;
    // A name taken by another program is given up for a new one; a few tries are plenty.
    for (int attempt = 0; attempt < 5; ++attempt) {
        if (!own.lock) {
            auto *lock = new QLockFile(shared + QLatin1Char('/') + own.name + lockSuffix);
            // A lock is ours for the program's life, however long it runs.
            lock->setStaleLockTime(0);
            if (!lock->tryLock(0)) {
                delete lock;
                own.name = randomName();
                continue;
            }
            own.lock = lock;
            removeEndedRuns(shared, own.name);
        }
        if (makeFolderExclusively(path())) {
            own.made = true;
            return true;
        }
        if (!QFileInfo(path()).exists() && !QFileInfo(path()).isSymLink())
            return false;
        // Something we did not make stands under our name: it is not ours to use or remove.
        delete own.lock;
        own.lock = nullptr;
        own.name = randomName();
    }
    return false;
}

bool WorkFolder::remove(const Runner &runner)
{
    OwnFolder &own = ownFolder();
    // Nothing was copied: the folder is not even looked at.
    if (!own.made)
        return true;
    if (!isTrusted())
        return false;
    own.made = false;
    // QDir removes links, never what they point to.
    const auto removal = [folder = path()] {
        QDir dir(folder);
        return !dir.exists() || dir.removeRecursively();
    };
    return runner ? runner(removal) : removal();
}

void WorkFolder::release()
{
    OwnFolder &own = ownFolder();
    delete own.lock;
    own.lock = nullptr;
    own.made = false;
    own.name = randomName();
}

#ifdef Q_OS_WIN
// Windows' own copy, behind QFile::copy, does not wait for the disk.
bool WorkFolder::copyFile(const QString &from, const QString &to)
{
    return QFileInfo(from).isFile() && QFile::copy(from, to);
}

// The copy keeps the read-only flag of its source (the archive keeps it too), and Windows does not
// delete a read-only file: the flag goes only when the copy does.
bool WorkFolder::removeFile(const QString &path)
{
    if (QFile::remove(path))
        return true;
    const QFile::Permissions permissions = QFile::permissions(path);
    return !permissions.testFlag(QFile::WriteUser) && QFile::setPermissions(path, permissions | QFile::WriteUser) &&
           QFile::remove(path);
}

bool WorkFolder::copyLink(const QString &from, const QString &to)
{
    return QFile::link(QFileInfo(from).symLinkTarget(), to);
}

// A folder is opened for its times with backup semantics, the one way Windows opens a folder.
bool WorkFolder::copyFolderTime(const QString &from, const QString &to)
{
    const auto open = [](const QString &path, DWORD access) {
        return CreateFileW(reinterpret_cast<const wchar_t *>(QDir::toNativeSeparators(path).utf16()), access,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                           FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    };
    const HANDLE source = open(from, FILE_READ_ATTRIBUTES);
    const HANDLE target = open(to, FILE_WRITE_ATTRIBUTES);
    FILETIME written;
    const bool copied = source != INVALID_HANDLE_VALUE && target != INVALID_HANDLE_VALUE &&
                        GetFileTime(source, nullptr, nullptr, &written) &&
                        SetFileTime(target, nullptr, nullptr, &written);
    for (const HANDLE handle : {source, target}) {
        if (handle != INVALID_HANDLE_VALUE)
            CloseHandle(handle);
    }
    return copied;
}
#else
namespace {

// Copies in the kernel where it can (copy_file_range, Linux), by blocks otherwise.
bool copyContent(int source, int target)
{
#ifdef Q_OS_LINUX
    for (;;) {
        const ssize_t copied = ::copy_file_range(source, nullptr, target, nullptr, 1 << 30, 0);
        if (copied == 0)
            return true;
        if (copied < 0) {
            if (errno == EINTR)
                continue;
            // Not between these two file systems: copy by blocks from where it stopped.
            if (errno != EXDEV && errno != ENOSYS && errno != EINVAL && errno != EOPNOTSUPP)
                return false;
            break;
        }
    }
#endif
    QByteArray block(1 << 20, Qt::Uninitialized);
    for (;;) {
        const ssize_t got = ::read(source, block.data(), size_t(block.size()));
        if (got == 0)
            return true;
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        for (ssize_t written = 0; written < got;) {
            const ssize_t put = ::write(target, block.constData() + written, size_t(got - written));
            if (put < 0 && errno != EINTR)
                return false;
            if (put > 0)
                written += put;
        }
    }
}

} // namespace

bool WorkFolder::copyFile(const QString &from, const QString &to)
{
    const QByteArray targetName = QFile::encodeName(to);
    QFile sourceFile;
    struct stat status;
    if (!RegularFile::open(sourceFile, from) || ::fstat(sourceFile.handle(), &status) != 0)
        return false;
    const int source = sourceFile.handle();
    // O_EXCL: like QFile::copy, never over something that is already there, not even a link.
    const int target = ::open(targetName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (target < 0)
        return false;
    const struct timespec times[2] = {status.st_atim, status.st_mtim};
    bool copied =
        copyContent(source, target) && ::fchmod(target, status.st_mode & 07777) == 0 && ::futimens(target, times) == 0;
    copied = ::close(target) == 0 && copied;
    if (!copied)
        ::unlink(targetName.constData());
    return copied;
}

bool WorkFolder::removeFile(const QString &path)
{
    return QFile::remove(path);
}

bool WorkFolder::copyFolderTime(const QString &from, const QString &to)
{
    struct stat status;
    if (::stat(QFile::encodeName(from).constData(), &status) != 0)
        return false;
    const struct timespec times[2] = {status.st_atim, status.st_mtim};
    return ::utimensat(AT_FDCWD, QFile::encodeName(to).constData(), times, AT_SYMLINK_NOFOLLOW) == 0;
}

bool WorkFolder::copyLink(const QString &from, const QString &to)
{
    QByteArray target(4096, Qt::Uninitialized);
    const ssize_t length = ::readlink(QFile::encodeName(from).constData(), target.data(), size_t(target.size()));
    if (length < 0 || length == target.size())
        return false;
    target.truncate(length);
    return ::symlink(target.constData(), QFile::encodeName(to).constData()) == 0;
}
#endif

QString WorkFolder::untrustedMessage()
{
    return QStringLiteral("The temporary folder %1 belongs to someone else; it was not used")
        .arg(QDir::toNativeSeparators(sharedPath()));
}
