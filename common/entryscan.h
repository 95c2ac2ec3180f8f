// SPDX-License-Identifier: MIT
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <utility>

// What one chosen entry holds on disk, read the way it is packed: the entry itself is followed
// when it is a link (the user picked it), nothing below it is. Pipes, sockets and devices are
// never opened, only named. Every name is read exactly as the file system holds it. Shared by the
// file list (measuring) and the job (checking).
class EntryScan
{
public:
    enum class Kind { Missing, File, Folder, Special };

    // Reads `path`. Stops early, with `complete` false, as soon as the regular files' total passes
    // `stopAboveBytes` (when it is not negative) or `keepGoing` returns false; `keepGoing` is
    // asked every few hundred entries, so a caller can keep its window painting and offer "Cancel".
    static EntryScan read(const QString &path, qint64 stopAboveBytes = -1, const std::function<bool()> &keepGoing = {});

    Kind kind = Kind::Missing;
    // The chosen path is itself a link (or, on Windows, a junction).
    bool isLink = false;
    // Regular files only: a folder is the sum of the regular files below it.
    qint64 bytes = 0;
    bool complete = true;
    // The first folder below the entry that could not be listed, relative to the entry.
    QString unreadable;
    // Below a folder, relative to it ("sub/a.txt"); a file entry has none of these.
    QList<std::pair<QString, qint64>> files;
    QStringList folders;
    QStringList links;
    QStringList specials;
    // Names that are no UTF-8, readable ("caf\xE9.txt"), the first along each path only: nothing
    // in Qt can open them, so they cannot be copied or checked in the archive. What they hold
    // still counts in `bytes`.
    QStringList undecodable;
};
