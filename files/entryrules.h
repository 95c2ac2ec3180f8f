// SPDX-License-Identifier: MIT
#pragma once

#include "common/entryscan.h"

#include <QString>

// What may be listed and what may be packed, judged from scans of the file system. Each answer is
// the message for the user, or an empty string when all is well.
namespace EntryRules {

// No pipe, socket or device can be listed, nor a folder that cannot be read whole. `shown`
// names the entry.
QString refusalToList(const EntryScan &scan, const QString &shown);

// A listed entry is packed only while it is still what was listed: the same kind, a link or not
// as it was, readable. Its size is the caller's to add up.
QString refusalToPack(EntryScan::Kind listedKind, bool listedAsLink, const EntryScan &now, const QString &shown);

// A whole drive or file system ("/", "D:/", "//server/share") is never an entry: it has no name
// to pack under, and counting it would take ages. `path` has forward slashes.
QString refusalOfRoot(const QString &path, const QString &shown);

// One file name that Windows can hold as it is, whatever system renames: the archive is unpacked
// there. No separators or other characters Windows refuses, no trailing dot or space (Windows
// drops them), no device name (its data would go to the device), at most 255 characters.
bool isPortableFileName(const QString &name);

} // namespace EntryRules
