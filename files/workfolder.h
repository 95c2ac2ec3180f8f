// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <functional>

// Where the renamed copies of the user's files live. All running copies of the program of one user
// share the user's cache folder, `<cache>/parcelo`, which no other user can take; each keeps its
// copies in a folder of its own below it, `<cache>/parcelo/run-<random>`, held with a lock file
// beside it (`run-<random>.lock`) for as long as it runs. Nothing of another running copy is ever
// touched: a folder of an earlier run is removed only once its lock shows that run has ended. Where
// the cache folder cannot be made (a read-only home) or is not the user's own, the program takes a
// fresh owner-only folder under the temporary directory instead, `<temp>/parcelo-<random>`. The
// only platform-specific code of the program's file handling is here.
class WorkFolder
{
public:
    // Runs file work that may last and returns its result, so that the window stays alive; without
    // one the work runs at once. The work holds the paths it needs, so it may run on any thread.
    using Runner = std::function<bool(const std::function<bool()> &work)>;

    // This program's own folder. It exists once ensure() has made it.
    static QString path();
    // The folder that this program's own folder lies in: the one all running copies share, or
    // once ensure() has found that unusable, a fresh one of its own.
    static QString sharedPath();

    // True when the shared folder and this program's own folder are each missing or a real
    // folder (not a link) of the current user.
    static bool isTrusted();

    // Makes the shared folder (owner-only, or a fresh one where it cannot be used) and this
    // program's own folder if they are missing, and on the first call removes the folders of
    // earlier runs that have ended. False when no folder can be made or trusted; nothing may then
    // be put into it.
    static bool ensure();

    // Removes this program's own folder with all its copies; the shared folder and everything of
    // other programs stay. True at once when nothing was copied. False when it was left alone
    // because it is not trusted, or could not be removed whole. The removal goes through `runner`.
    static bool remove(const Runner &runner = {});

    // Lets go of this program's own folder and its lock, removing nothing; the next ensure()
    // starts a new folder. For a temporary directory that is about to go away with everything in
    // it, as in tests: the lock's own removal would otherwise find its file gone.
    static void release();

    // Gives the folder `to` the modification time of the folder `from`, as a copy of it should show.
    static bool copyFolderTime(const QString &from, const QString &to);

    // Copies a regular file's content, permissions and modification time to `to`, where nothing may stand yet; a
    // failed copy leaves nothing there. Anything but a regular file is refused without being
    // opened for reading, so a pipe cannot block. Unlike QFile::copy it does not wait for the copy
    // to reach the disk: a copy in this folder only has to last until it is packed, and the wait
    // made the copy of a large file take several times as long as cp.
    static bool copyFile(const QString &from, const QString &to);

    // Removes one file or link of ours, also one that is read-only on Windows.
    static bool removeFile(const QString &path);

    // Makes a link at `to` that points where the link `from` points, as it is written.
    static bool copyLink(const QString &from, const QString &to);

    // What the user is told when the shared folder is not trusted.
    static QString untrustedMessage();
};
