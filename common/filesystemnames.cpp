// SPDX-License-Identifier: MIT
#include "common/filesystemnames.h"

#include <QStringDecoder>

#ifdef Q_OS_WIN
#include <QDirIterator>
#include <QFileInfo>
#else
#include <QFile>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace FileSystemNames {

namespace {

// Stateless, so a cut-off sequence at the end is an error too.
bool exactUtf8(const QByteArray &bytes, QString *name)
{
    QStringDecoder decoder(QStringDecoder::Utf8,
                           QStringDecoder::Flag::ConvertInitialBom | QStringDecoder::Flag::Stateless);
    *name = decoder.decode(bytes);
    return !decoder.hasError();
}

} // namespace

bool decode(const QByteArray &bytes, QString *name)
{
    if (exactUtf8(bytes, name))
        return true;
    name->clear();
    for (qsizetype at = 0; at < bytes.size();) {
        QString part;
        qsizetype length = 1;
        while (length <= 4 && (at + length > bytes.size() || !exactUtf8(bytes.mid(at, length), &part)))
            ++length;
        if (length > 4) {
            *name +=
                QStringLiteral("\\x") + QString::number(quint8(bytes.at(at)), 16).toUpper().rightJustified(2, u'0');
            ++at;
        } else {
            *name += part;
            at += length;
        }
    }
    return false;
}

#ifdef Q_OS_WIN

QByteArray encode(const QString &path)
{
    return path.toUtf8();
}

bool list(const QByteArray &folder, QList<Entry> *entries)
{
    const QFileInfo info(QString::fromUtf8(folder));
    if (!info.isReadable())
        return false;
    QDirIterator it(info.filePath(), QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        it.next();
        const QFileInfo entry = it.fileInfo();
        const Type type = entry.isSymLink() || entry.isJunction() ? Type::Link
                          : entry.isDir()                         ? Type::Folder
                          : entry.isFile()                        ? Type::File
                                                                  : Type::Other;
        entries->append({entry.fileName().toUtf8(), type, type == Type::File ? entry.size() : 0});
    }
    return true;
}

#else

QByteArray encode(const QString &path)
{
    return QFile::encodeName(path);
}

namespace {

Type typeOf(mode_t mode)
{
    return S_ISREG(mode) ? Type::File : S_ISDIR(mode) ? Type::Folder : S_ISLNK(mode) ? Type::Link : Type::Other;
}

} // namespace

bool list(const QByteArray &folder, QList<Entry> *entries)
{
    if (::access(folder.constData(), R_OK | X_OK) != 0)
        return false;
    DIR *dir = ::opendir(folder.constData());
    if (!dir)
        return false;
    bool read = true;
    for (;;) {
        errno = 0;
        const dirent *item = ::readdir(dir);
        if (!item) {
            read = errno == 0;
            break;
        }
        const char *name = item->d_name;
        if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0')))
            continue;
        Entry entry{QByteArray(name), Type::Other, 0};
        // Only a file's size, or a type the listing does not give, costs a look of its own.
        if (item->d_type == DT_DIR) {
            entry.type = Type::Folder;
        } else if (item->d_type == DT_LNK) {
            entry.type = Type::Link;
        } else if (item->d_type == DT_REG || item->d_type == DT_UNKNOWN) {
            struct stat status;
            if (::fstatat(::dirfd(dir), name, &status, AT_SYMLINK_NOFOLLOW) == 0) {
                entry.type = typeOf(status.st_mode);
                entry.size = entry.type == Type::File ? qint64(status.st_size) : 0;
            } else if (errno != ENOENT) { // gone meanwhile, it is left out like a pipe
                read = false;
                break;
            }
        }
        entries->append(entry);
    }
    ::closedir(dir);
    return read;
}

#endif

} // namespace FileSystemNames
