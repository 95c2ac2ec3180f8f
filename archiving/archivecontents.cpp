// SPDX-License-Identifier: MIT
#include "archiving/archivecontents.h"

#include "archiving/runverdict.h"

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

ArchiveContents ArchiveContents::fromListing(const QString &listing)
{
    ArchiveContents contents;
    QString path;
    Entry entry;
    bool inEntry = false;
    const auto finish = [&] {
        if (inEntry)
            contents.entries.insert(path, entry);
        inEntry = false;
        entry = Entry();
    };
    for (QString line : listing.split(QLatin1Char('\n'))) {
        line.remove(QLatin1Char('\r'));
        if (line.startsWith(QLatin1String("Path = "))) {
            finish();
            path = line.mid(7);
#ifdef Q_OS_WIN
            path.replace(QLatin1Char('\\'), QLatin1Char('/'));
#endif
            inEntry = true;
        } else if (line == QLatin1String("Folder = +")) {
            entry.type = Type::Folder;
        } else if (line.startsWith(QLatin1String("Size = "))) {
            entry.size = line.mid(7).toLongLong();
        } else if (line.startsWith(QLatin1String("Attributes = "))) {
            // The Unix mode of a stored link reads "lrwxrwxrwx".
            const QStringList attributes = line.mid(13).split(QLatin1Char(' '), Qt::SkipEmptyParts);
            if (!attributes.isEmpty() && attributes.last().size() == 10 &&
                attributes.last().startsWith(QLatin1Char('l')))
                entry.type = Type::Link;
        }
    }
    finish();
    for (auto it = contents.entries.begin(); it != contents.entries.end(); ++it) {
        if (it->type != Type::File)
            it->size = 0;
    }
    return contents;
}

QString ArchiveContents::differences(const ArchiveContents &written) const
{
    QStringList missing;
    QStringList wrong;
    QStringList unexpected;
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
        parts << QStringLiteral("missing %1").arg(RunVerdict::nameList(missing));
    if (!wrong.isEmpty())
        parts << QStringLiteral("changed %1").arg(RunVerdict::nameList(wrong));
    if (!unexpected.isEmpty())
        parts << QStringLiteral("not chosen %1").arg(RunVerdict::nameList(unexpected));
    if (parts.isEmpty())
        return QString();
    return QStringLiteral("The written archive does not hold the chosen files: %1")
        .arg(parts.join(QStringLiteral("; ")));
}
