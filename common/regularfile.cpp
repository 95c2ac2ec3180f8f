// SPDX-License-Identifier: MIT
#include "common/regularfile.h"

#include <QFileInfo>

#ifndef Q_OS_WIN
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

bool RegularFile::open(QFile &file, const QString &path)
{
#ifdef Q_OS_WIN
    // A path cannot name a pipe here that an open would wait on; the look is enough.
    file.setFileName(path);
    return QFileInfo(path).isFile() && file.open(QIODevice::ReadOnly);
#else
    const QByteArray name = QFile::encodeName(path);
    struct stat status;
    if (::stat(name.constData(), &status) != 0 || !S_ISREG(status.st_mode))
        return false;
    // O_NONBLOCK: a pipe swapped in between that look and the open does not hold the open.
    const int descriptor = ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (descriptor < 0)
        return false;
    if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode) ||
        !file.open(descriptor, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(descriptor);
        return false;
    }
    return true;
#endif
}
