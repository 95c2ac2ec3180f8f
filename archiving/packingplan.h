// SPDX-License-Identifier: MIT
#pragma once

#include "archiving/archivecontents.h"

#include <QList>
#include <QString>
#include <QStringList>

// What one "Compress" hands the archiver, read from the chosen entries just before the run.
// Inside a chosen folder no link is followed: links are stored as links, and pipes, sockets and
// devices are left out (the archiver would block on them). A chosen entry that is itself a link
// packs what it points to, so it goes into a run of its own that follows links; the links below
// it are left out there.
class PackingPlan
{
public:
    struct Run
    {
        QStringList items;
        QStringList excluded;
        bool linksAsLinks = true;
        qint64 bytes = 0;
    };

    static PackingPlan make(const QStringList &chosen);

    QList<Run> runs;
    ArchiveContents expected;
    int fileCount = 0;
    qint64 bytes = 0;
    // Set when a chosen entry can no longer be packed; no run should start then.
    QString problem;
};
