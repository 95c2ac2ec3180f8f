// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

// Puts a finished file under its name in one atomic step that never replaces anything standing
// there, a link included, and never falls back to copying: a copy would open the name, and through
// a link planted meanwhile write wherever it points, or truncate a file that appeared.
class NoReplaceMove
{
public:
    // Refused: the folder may not be written (its permissions, or a read-only disk).
    enum class Outcome { Moved, Taken, Refused, Failed };
    struct Result
    {
        Outcome outcome = Outcome::Failed;
        QString error; // the system's words, when it failed
    };

    // `from` and `to` lie in the same folder's file system.
    static Result move(const QString &from, const QString &to);
};
