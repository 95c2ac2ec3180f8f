// SPDX-License-Identifier: MIT
#include "common/entryscan.h"

#include <QDirIterator>
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

} // namespace

EntryScan EntryScan::read(const QString &path, qint64 stopAboveBytes, const std::function<bool()> &keepGoing)
{
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

    const QString root = entry.absoluteFilePath() + QLatin1Char('/');
    QStringList pending{QString()};
    int sinceAsked = 0;
    while (!pending.isEmpty()) {
        const QString relativeFolder = pending.takeLast();
        const QString folder = root + relativeFolder;
        const QFileInfo folderInfo(folder);
        if (!folderInfo.isReadable() || !folderInfo.isExecutable()) {
            scan.unreadable = relativeFolder.isEmpty() ? QStringLiteral(".") : relativeFolder.chopped(1);
            scan.complete = false;
            return scan;
        }
        QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        while (it.hasNext()) {
            it.next();
            const QFileInfo info = it.fileInfo();
            const QString relative = relativeFolder + info.fileName();
            if (isLinkLike(info)) {
                scan.links << relative;
            } else if (info.isDir()) {
                scan.folders << relative;
                pending << relative + QLatin1Char('/');
            } else if (info.isFile()) {
                scan.files.append({relative, info.size()});
                scan.bytes += info.size();
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
