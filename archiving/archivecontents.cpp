// SPDX-License-Identifier: MIT
#include "archiving/archivecontents.h"

#include "common/namelist.h"

#include <QStringList>

void ArchiveContents::addFile(const QString &path, qint64 size)
{
    entries.insert(path, {Type::File, size});
}

void ArchiveContents::addFolder(const QString &path)
{
    entries.insert(path, {Type::Folder, 0});
}

void ArchiveContents::addLink(const QString &path)
{
    entries.insert(path, {Type::Link, 0});
}

void ArchiveContents::addUnnamed(const QString &shown)
{
    unnamed << shown;
}

QString ArchiveContents::differences(const ArchiveContents &written) const
{
    QStringList missing;
    QStringList wrong;
    QStringList unexpected = written.unnamed;
    for (auto it = entries.cbegin(); it != entries.cend(); ++it) {
        const auto found = written.entries.constFind(it.key());
        if (found == written.entries.cend())
            missing << it.key();
        else if (!(*found == *it))
            wrong << it.key();
    }
    for (auto it = written.entries.cbegin(); it != written.entries.cend(); ++it) {
        if (!entries.contains(it.key()))
            unexpected << it.key();
    }
    QStringList parts;
    if (!missing.isEmpty())
        parts << QStringLiteral("missing %1").arg(nameList(missing));
    if (!wrong.isEmpty())
        parts << QStringLiteral("changed %1").arg(nameList(wrong));
    if (!unexpected.isEmpty())
        parts << QStringLiteral("not chosen %1").arg(nameList(unexpected));
    if (parts.isEmpty())
        return QString();
    return QStringLiteral("The written archive does not hold the chosen files: %1")
        .arg(parts.join(QStringLiteral("; ")));
}
