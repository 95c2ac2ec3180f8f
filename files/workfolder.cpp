// SPDX-License-Identifier: MIT
#include "files/workfolder.h"

#include <QDir>
#include <QFileInfo>

#ifndef Q_OS_WIN
#include <cerrno>
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

QString WorkFolder::untrustedMessage()
{
    return QStringLiteral("The temporary folder %1 belongs to someone else; it was not used").arg(path());
}
