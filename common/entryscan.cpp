// SPDX-License-Identifier: MIT
#include "common/entryscan.h"

#include "common/filesystemnames.h"

#include <QFileInfo>

namespace {

bool isLinkLike(const QFileInfo &info)
{
#ifdef Q_OS_WIN
    if (info.isJunction())
        return true;
#endif
    return info.isSymLink();
}

// A folder still to list; below a name that is no UTF-8 nothing can be named, only counted.
struct Pending
{
    QByteArray path;
    QString relative;
    bool named = true;
};

} // namespace

EntryScan EntryScan::read(const QString &path, qint64 stopAboveBytes, const std::function<bool()> &keepGoing)
{
    using FileSystemNames::Type;
    EntryScan scan;
    const QFileInfo entry(path);
    scan.isLink = isLinkLike(entry);
    if (!entry.exists())
        return scan;
    if (entry.isFile()) {
        scan.kind = Kind::File;
        scan.bytes = entry.size();
        return scan;
    }
    if (!entry.isDir()) {
        scan.kind = Kind::Special;
        return scan;
    }
    scan.kind = Kind::Folder;

    QList<Pending> pending{{FileSystemNames::encode(entry.absoluteFilePath()) + '/', QString(), true}};
    QList<FileSystemNames::Entry> entries;
    int sinceAsked = 0;
    while (!pending.isEmpty()) {
        const Pending folder = pending.takeLast();
        entries.clear();
        if (!FileSystemNames::list(folder.path, &entries)) {
            scan.unreadable = folder.relative.isEmpty() ? QStringLiteral(".") : folder.relative.chopped(1);
            scan.complete = false;
            return scan;
        }
        for (const FileSystemNames::Entry &item : std::as_const(entries)) {
            QString name;
            const bool named = FileSystemNames::decode(item.name, &name) && folder.named;
            const QString relative = folder.relative + name;
            if (item.type == Type::Folder)
                pending.append({folder.path + item.name + '/', relative + QLatin1Char('/'), named});
            scan.bytes += item.size;
            if (!named) {
                if (folder.named)
                    scan.undecodable << relative;
            } else if (item.type == Type::Link) {
                scan.links << relative;
            } else if (item.type == Type::Folder) {
                scan.folders << relative;
            } else if (item.type == Type::File) {
                scan.files.append({relative, item.size});
            } else {
                scan.specials << relative;
            }
            const bool overLimit = stopAboveBytes >= 0 && scan.bytes > stopAboveBytes;
            const bool stopped = keepGoing && ++sinceAsked % 256 == 0 && !keepGoing();
            if (overLimit || stopped) {
                scan.complete = false;
                return scan;
            }
        }
    }
    return scan;
}
