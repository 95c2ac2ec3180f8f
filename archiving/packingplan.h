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

    // `tick` is called after each file that was sampled, so a caller can keep its window painting.
    // `scans` may hold a whole, fresh reading of each chosen entry, in the same order, so that
    // nothing is walked twice; entries without one are read here.
    static PackingPlan make(const QStringList &chosen, const std::function<void()> &tick = {},
                            const QList<EntryScan> &scans = {});

    QList<Run> runs;
    ArchiveContents expected;
    int fileCount = 0;
    qint64 bytes = 0;
    // The archive names of the files that will be stored, not deflated.
    QStringList storedFiles;
    // Set when a chosen entry can no longer be packed; no run should start then.
    QString problem;
};
