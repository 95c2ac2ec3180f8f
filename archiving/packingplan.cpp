// SPDX-License-Identifier: MIT
#include "archiving/packingplan.h"

#include "archiving/runverdict.h"
#include "common/entryscan.h"

#include <QFileInfo>

PackingPlan PackingPlan::make(const QStringList &chosen)
{
    PackingPlan plan;
    Run direct;
    Run followed;
    followed.linksAsLinks = false;
    QStringList gone;
    QStringList unreadable;
    for (const QString &path : chosen) {
        const QString name = QFileInfo(path).fileName();
        const EntryScan scan = EntryScan::read(path);
        if (scan.kind == EntryScan::Kind::Missing || scan.kind == EntryScan::Kind::Special) {
            gone << name;
            continue;
        }
        if (!scan.unreadable.isEmpty()) {
            unreadable << name + QLatin1Char('/') + scan.unreadable;
            continue;
        }
        Run &run = scan.isLink ? followed : direct;
        run.items << path;
        run.bytes += scan.bytes;
        plan.bytes += scan.bytes;
        if (scan.kind == EntryScan::Kind::File) {
            plan.expected.addFile(name, scan.bytes);
            ++plan.fileCount;
            continue;
        }
        const QString prefix = name + QLatin1Char('/');
        plan.expected.addFolder(name);
        for (const auto &[relative, size] : scan.files)
            plan.expected.addFile(prefix + relative, size);
        for (const QString &relative : scan.folders)
            plan.expected.addFolder(prefix + relative);
        for (const QString &relative : scan.links) {
            if (scan.isLink)
                run.excluded << prefix + relative;
            else
                plan.expected.addLink(prefix + relative);
        }
        for (const QString &relative : scan.specials)
            run.excluded << prefix + relative;
        plan.fileCount += int(scan.files.size());
    }
    if (!gone.isEmpty())
        plan.problem = QStringLiteral("No longer a file or folder: %1").arg(RunVerdict::nameList(gone));
    else if (!unreadable.isEmpty())
        plan.problem = QStringLiteral("These folders could not be read: %1").arg(RunVerdict::nameList(unreadable));
    for (const Run &run : {direct, followed}) {
        if (!run.items.isEmpty())
            plan.runs << run;
    }
    return plan;
}
