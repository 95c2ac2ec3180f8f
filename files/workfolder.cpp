// SPDX-License-Identifier: MIT
#include "files/workfolder.h"

#include <QDir>
#include <QFileInfo>

#ifndef Q_OS_WIN
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

QString WorkFolder::path()
{
    return QDir::tempPath() + QStringLiteral("/parcelo");
}

bool WorkFolder::isTrusted()
{
    const QString folder = path();
#ifdef Q_OS_WIN
    // The temporary directory is the user's own on Windows; only a link could lead elsewhere.
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

bool WorkFolder::ensure()
{
    if (!isTrusted())
        return false;
    const QString folder = path();
#ifdef Q_OS_WIN
    return QDir().mkpath(folder);
#else
    const QByteArray name = QFile::encodeName(folder);
    if (::mkdir(name.constData(), 0700) != 0 && errno != EEXIST)
        return false;
    // Between the check and the mkdir another user could have made it; check again, and keep an
    // older folder of ours private too.
    return isTrusted() && ::chmod(name.constData(), 0700) == 0;
#endif
}

bool WorkFolder::remove()
{
    if (!isTrusted())
        return false;
    QDir folder(path());
    return !folder.exists() || folder.removeRecursively();
}

#ifdef Q_OS_WIN
// Windows' own copy, behind QFile::copy, does not wait for the disk.
bool WorkFolder::copyFile(const QString &from, const QString &to)
{
    return QFile::copy(from, to);
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
    const int source = ::open(QFile::encodeName(from).constData(), O_RDONLY | O_CLOEXEC);
    if (source < 0)
        return false;
    struct stat status;
    if (::fstat(source, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(source);
        return false;
    }
    // O_EXCL: like QFile::copy, never over something that is already there, not even a link.
    const int target = ::open(targetName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (target < 0) {
        ::close(source);
        return false;
    }
    bool copied = copyContent(source, target) && ::fchmod(target, status.st_mode & 07777) == 0;
    copied = ::close(target) == 0 && copied;
    ::close(source);
    if (!copied)
        ::unlink(targetName.constData());
    return copied;
}
#endif

QString WorkFolder::untrustedMessage()
{
    return QStringLiteral("The temporary folder %1 belongs to someone else; it was not used").arg(path());
}
