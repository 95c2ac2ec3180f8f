// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <functional>

// Where the archive goes unless the user picks a place: beside the first entry, named after its
// folder ("/data/Photos/a.jpg" gives "/data/Photos/Photos.7z"). Where that gives no real name (a
// renamed copy in the program's own working folder, a folder directly under a root) the archive
// goes to the documents folder's "compressed_files", named after the entry.
class ArchiveDestination
{
public:
    static QString defaultFor(const QString &firstEntry, const QString &documentsFolder, const QString &workFolder);
    // The documents folder's "compressed_files".
    static QString documentsArchives(const QString &documentsFolder);
    // `path`, or where it is taken the first free "name (2).7z", "name (3).7z", ... beside it.
    static QString firstFree(const QString &path, const std::function<bool(const QString &)> &taken);
    // True when `path` lies in `folder` or below it, also by way of a link: an archive there would
    // go with the program's copies.
    static bool isWithin(const QString &path, const QString &folder);
};
