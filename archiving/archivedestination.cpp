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
    return documentsArchives(documentsFolder) + QLatin1Char('/') + entryName + QStringLiteral(".7z");
}

QString ArchiveDestination::documentsArchives(const QString &documentsFolder)
{
    return QDir::cleanPath(QDir(documentsFolder).absolutePath()) + QStringLiteral("/compressed_files");
}

QString ArchiveDestination::firstFree(const QString &path, const std::function<bool(const QString &)> &taken)
{
    if (!taken(path))
        return path;
    const QFileInfo archive(path);
    const QString folder = path.left(path.size() - archive.fileName().size());
    const QString suffix = archive.suffix().isEmpty() ? QString() : QLatin1Char('.') + archive.suffix();
    const QString stem = archive.fileName().chopped(suffix.size());
    // Bounded, so a folder full of such names cannot keep the window busy.
    for (int number = 2; number < 10000; ++number) {
        const QString candidate = QStringLiteral("%1%2 (%3)%4").arg(folder, stem).arg(number).arg(suffix);
        if (!taken(candidate))
            return candidate;
    }
    return path;
}

namespace {

// The path with every link resolved: the deepest part that exists in its canonical form, the rest
// as it is written.
QString resolved(const QString &path)
{
    QString existing = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    QString rest;
    while (!QFileInfo::exists(existing) && !QDir(existing).isRoot()) {
        rest.prepend(QLatin1Char('/') + QFileInfo(existing).fileName());
        existing = QFileInfo(existing).absolutePath();
    }
    return QFileInfo(existing).canonicalFilePath() + rest;
}

} // namespace

bool ArchiveDestination::isWithin(const QString &path, const QString &folder)
{
    const QString inner = resolved(path);
    const QString outer = resolved(folder);
    return inner == outer || inner.startsWith(outer + QLatin1Char('/'));
}
