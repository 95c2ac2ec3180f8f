// SPDX-License-Identifier: MIT
#pragma once

#include "common/entryscan.h"

#include <QList>
#include <QString>

// What may be listed and what may be packed, judged from scans of the file system. Each answer is
// the message for the user, or an empty string when all is well.
namespace EntryRules {

// No pipe, socket or device can be listed, nor a folder that cannot be read whole or that holds
// a name that is no UTF-8. `shown` names the entry.
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

// Why a name is not portable, in a line for the user ('A name cannot hold ":"'); empty when it is.
QString nameProblem(const QString &name);

// How many characters of a name the rename box selects, so that typing keeps the extension: the
// part before the last dot ("archive" of "archive.tar.gz" too), or the whole name of a folder, of
// a name without a dot and of one that only starts with one (".bashrc").
qsizetype stemLength(const QString &name, bool isFolder);

// One entry an add or a drop did not take.
struct Refusal
{
    enum class Kind { Listed, OverLimit, Other };
    Kind kind = Kind::Other;
    // The message for this entry alone.
    QString text;
    // The entry as a list of names shows it.
    QString name;
    // Its size, for an entry over the limit.
    float megabytes = 0.0f;
};

// The one message for all refusals of one add or drop.
struct Notice
{
    QString text;
    QString informative;
    // The first refusal was for the limit: the main window shows such refusals.
    bool overLimit = false;
};

// The first refusal's own text, and beneath it one line per kind, in the order the kinds first
// came: the names already listed, the entries over the limit with the room left after the add,
// and the other refused entries not named by the text itself.
Notice summarise(const QList<Refusal> &refusals, float megabytesLeft);

} // namespace EntryRules
