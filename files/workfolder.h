// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

// The temporary folder that holds the renamed copies of the user's files: the system temporary
// directory followed by "/parcelo". Where that directory is shared by all users the folder may
// be someone else's, or a link to another place, so nothing is copied into it or removed from it
// until it has been checked. The only platform-specific code of the program's file handling is
// here.
class WorkFolder
{
public:
    static QString path();

    // True when the folder does not exist, or is a real folder (not a link) of the current user.
    static bool isTrusted();

    // Makes the folder, owner-only, if it is missing. False when it cannot be made or is not
    // trusted; nothing may then be put into it.
    static bool ensure();

    // Removes the folder with all its contents, when it is trusted. False when it was left alone
    // because it is not ours, or could not be removed whole.
    static bool remove();

    // Copies a file's content and permissions to `to`, where nothing may stand yet; a failed copy
    // leaves nothing there. Unlike QFile::copy it does not wait for the copy to reach the disk: a
    // copy in this folder only has to last until it is packed, and the wait made the copy of a
    // large file take several times as long as cp.
    static bool copyFile(const QString &from, const QString &to);

    // What the user is told when the folder is not trusted.
    static QString untrustedMessage();
};
