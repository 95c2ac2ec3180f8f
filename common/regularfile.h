// SPDX-License-Identifier: MIT
#pragma once

#include <QFile>
#include <QString>

// Opens one of the user's entries for reading only if it is a regular file. Opening a pipe for
// reading waits for a writer, and opening a device may act on it; an entry can be swapped for one
// at any moment after it was listed, so the check is made on what was opened.
class RegularFile
{
public:
    static bool open(QFile &file, const QString &path);
};
