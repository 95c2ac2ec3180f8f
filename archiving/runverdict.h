// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

// How one archiver run ended, and what it means for the user. A run succeeds only when the
// archiver ended by itself with status 0 and printed "Everything is Ok" as a line of its own:
// file names in its progress and warning lines may hold those words too, and status 1 means a
// file was left out.
class RunVerdict
{
public:
    enum class Outcome { Succeeded, AccessDenied, Failed, Cancelled };

    struct Run
    {
        bool started = true;
        bool crashed = false;
        int exitCode = 0;
        bool stalled = false;
        // Stopped for writing more than the chosen files can make.
        bool overgrown = false;
        bool cancelled = false;
        QString output;
    };

    // `archive` is the path the archiver wrote to, `program` the archiver, `silenceSeconds` how
    // long it may stay silent, `folder` the folder the user chose for the archive, which messages
    // name.
    static RunVerdict judge(const Run &run, const QString &archive, const QString &program, int silenceSeconds,
                            const QString &folder);

    // The output's lines as a terminal would show them: progress that was erased with
    // backspaces is gone.
    static QStringList shownLines(const QString &output);

    Outcome outcome = Outcome::Failed;
    // One line in plain words for the message's informative text; empty on success.
    QString cause;
};
