// SPDX-License-Identifier: MIT
#include "archiving/noreplacemove.h"

#include <QFile>

#ifdef Q_OS_WIN
#include <qt_windows.h>
#else
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#endif

#ifdef Q_OS_WIN

NoReplaceMove::Result NoReplaceMove::move(const QString &from, const QString &to)
{
    // Without MOVEFILE_REPLACE_EXISTING the move fails on any name that stands; without
    // MOVEFILE_COPY_ALLOWED it never copies.
    if (MoveFileExW(reinterpret_cast<const wchar_t *>(from.utf16()), reinterpret_cast<const wchar_t *>(to.utf16()), 0))
        return {Outcome::Moved, QString()};
    const DWORD error = GetLastError();
    if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS)
        return {Outcome::Taken, QString()};
    if (error == ERROR_ACCESS_DENIED || error == ERROR_WRITE_PROTECT)
        return {Outcome::Refused, QString()};
    return {Outcome::Failed, QStringLiteral("error %1").arg(error)};
}

#else

NoReplaceMove::Result NoReplaceMove::move(const QString &from, const QString &to)
{
    const QByteArray source = QFile::encodeName(from), target = QFile::encodeName(to);
    int result = -1;
#if defined(RENAME_NOREPLACE)
    result = ::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE);
#else
    errno = EINVAL;
#endif
    // A file system that cannot rename without replacing still makes a new name atomically by a
    // hard link, which fails on any name that stands; then the old name goes.
    if (result != 0 && (errno == EINVAL || errno == ENOSYS || errno == ENOTSUP)) {
        result = ::link(source.constData(), target.constData());
        if (result == 0)
            ::unlink(source.constData());
    }
    if (result == 0)
        return {Outcome::Moved, QString()};
    if (errno == EEXIST)
        return {Outcome::Taken, QString()};
    if (errno == EACCES || errno == EPERM || errno == EROFS)
        return {Outcome::Refused, QString()};
    return {Outcome::Failed, QString::fromLocal8Bit(std::strerror(errno))};
}

#endif
