// SPDX-License-Identifier: MIT
#include "archiving/archivedestination.h"

#include <QDir>
#include <QFileInfo>

QString ArchiveDestination::defaultFor(const QString &firstEntry, const QString &documentsFolder,
                                       const QString &workFolder)
{
    const QFileInfo entry(firstEntry);
    const QString folder = QDir::cleanPath(entry.absolutePath());
    const QString folderName = QDir(folder).dirName();
    const bool ownCopy = folder == QDir::cleanPath(workFolder);
    if (!ownCopy && !QDir(folder).isRoot() && !folderName.isEmpty())
        return folder + QLatin1Char('/') + folderName + QStringLiteral(".7z");
    const QString entryName = entry.fileName().isEmpty() ? QStringLiteral("archive") : entry.fileName();
    return QDir::cleanPath(QDir(documentsFolder).absolutePath()) + QStringLiteral("/compressed_files/") + entryName +
           QStringLiteral(".7z");
}
