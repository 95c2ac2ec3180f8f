// SPDX-License-Identifier: MIT
#pragma once

#include "files/workfolder.h"

#include <QString>

#include <functional>

// Makes and removes the renamed copies. A chosen file is copied with its content (a chosen link is
// followed: the user picked it); below a chosen folder links are made again, never followed, and
// pipes, sockets and devices are left out without being opened. A copy that fails or is cancelled
// leaves nothing behind.
namespace EntryCopy {

enum class Result { Copied, Failed, Cancelled };

// Copies `from` to `to`, where nothing may stand yet. `keepGoing` is asked now and then during a
// folder's copy; when it returns false the copy stops and is removed.
Result copy(const QString &from, const QString &to, const std::function<bool()> &keepGoing = {});

// Removes a file, a link or a whole folder of ours, a folder through `runner`; links are removed,
// never followed.
bool remove(const QString &path, const WorkFolder::Runner &runner = {});

} // namespace EntryCopy
