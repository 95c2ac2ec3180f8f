// SPDX-License-Identifier: MIT
#pragma once

#include "archiving/archivecontents.h"
#include "common/entryscan.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// What one "Compress" hands the archiver, read from the chosen entries just before the run.
// Inside a chosen folder no link is followed: links are stored as links, and pipes, sockets and
// devices are left out (the archiver would block on them). A chosen entry that is itself a link
// packs what it points to, so it goes into a run of its own that follows links; the links below
// it are left out there. Files that deflate cannot shrink are stored, in a run of their own into
// the same archive, after the deflated ones (so the second run copies the smaller part again).
class PackingPlan
{
public:
    struct Run
    {
        QStringList items;
        QStringList excluded;
        bool linksAsLinks = true;
        bool stored = false;
        qint64 bytes = 0;
    };

    // `keepGoing` is asked after each file that was sampled, so a caller can keep its window
    // painting; when it returns false the plan stops at once, unfinished. `scans` may hold a whole,
    // fresh reading of each chosen entry, in the same order, so that nothing is walked twice;
    // entries without one are read here.
    static PackingPlan make(const QStringList &chosen, const std::function<bool()> &keepGoing = {},
                            const QList<EntryScan> &scans = {});

    QList<Run> runs;
    ArchiveContents expected;
    int fileCount = 0;
    qint64 bytes = 0;
    // The archive names of the files that will be stored, not deflated.
    QStringList storedFiles;
    // The most an archive of these entries can take on disk, generously: headers, names, link
    // targets and deflate's worst case on top of the bytes. A run that writes more is reading
    // something that was not planned.
    qint64 ceiling = 0;
    // Set when a chosen entry can no longer be packed; no run should start then.
    QString problem;
    // Set when `keepGoing` stopped the plan; nothing of it may be run.
    bool stopped = false;
};
