// SPDX-License-Identifier: MIT
#include "archiving/packingplan.h"

#include "archiving/compressibility.h"
#include "common/namelist.h"

#include <QFileInfo>

namespace {

// The entries of one link mode, with each file's archive name sorted by how it will be packed.
struct Group
{
    QStringList items;
    QStringList excluded;
    QStringList deflated;
    QStringList stored;
    qint64 deflatedBytes = 0;
    qint64 storedBytes = 0;
};

void addRuns(const Group &group, bool linksAsLinks, QList<PackingPlan::Run> *runs)
{
    if (group.items.isEmpty())
        return;
    const bool deflate = !group.deflated.isEmpty() || group.stored.isEmpty();
    const bool store = !group.stored.isEmpty();
    // Each run leaves out the files of the other, so every file is packed exactly once.
    if (deflate)
        *runs << PackingPlan::Run{group.items, group.excluded + (store ? group.stored : QStringList()), linksAsLinks,
                                  false, group.deflatedBytes};
    if (store)
        *runs << PackingPlan::Run{group.items, group.excluded + (deflate ? group.deflated : QStringList()),
                                  linksAsLinks, true, group.storedBytes};
}

} // namespace

PackingPlan PackingPlan::make(const QStringList &chosen, const std::function<bool()> &keepGoing,
                              const QList<EntryScan> &scans)
{
    PackingPlan plan;
    Group direct;
    Group followed;
    QStringList gone;
    QStringList unreadable;
    // A ZIP entry's two headers with their extra fields take well under 512 bytes beside its name,
    // written twice; a link's content is its target.
    const auto entryRoom = [](const QString &name) { return 512 + 2 * qint64(name.toUtf8().size()); };
    const qint64 linkRoom = 4096;
    const auto sort = [&](Group &group, const QString &name, const QString &path, qint64 size) {
        if (plan.stopped)
            return;
        const bool sampled = size >= Compressibility::sampledFrom;
        if (Compressibility::worthDeflating(path, size)) {
            group.deflated << name;
            group.deflatedBytes += size;
        } else {
            group.stored << name;
            group.storedBytes += size;
            plan.storedFiles << name;
        }
        plan.expected.addFile(name, size);
        plan.bytes += size;
        plan.ceiling += size + entryRoom(name);
        ++plan.fileCount;
        if (sampled && keepGoing && !keepGoing())
            plan.stopped = true;
    };
    for (qsizetype i = 0; i < chosen.size(); ++i) {
        const QString &path = chosen.at(i);
        const QString name = QFileInfo(path).fileName();
        const bool given = i < scans.size() && scans.at(i).complete;
        const EntryScan scan = given ? scans.at(i) : EntryScan::read(path);
        if (scan.kind == EntryScan::Kind::Missing || scan.kind == EntryScan::Kind::Special) {
            gone << name;
            continue;
        }
        if (!scan.unreadable.isEmpty()) {
            unreadable << name + QLatin1Char('/') + scan.unreadable;
            continue;
        }
        Group &group = scan.isLink ? followed : direct;
        group.items << path;
        if (scan.kind == EntryScan::Kind::File) {
            sort(group, name, path, scan.bytes);
            if (plan.stopped)
                return plan;
            continue;
        }
        const QString prefix = name + QLatin1Char('/');
        plan.expected.addFolder(name);
        plan.ceiling += entryRoom(name);
        for (const auto &[relative, size] : scan.files)
            sort(group, prefix + relative, path + QLatin1Char('/') + relative, size);
        if (plan.stopped)
            return plan;
        for (const QString &relative : scan.folders) {
            plan.expected.addFolder(prefix + relative);
            plan.ceiling += entryRoom(prefix + relative);
        }
        for (const QString &relative : scan.links) {
            if (scan.isLink) {
                group.excluded << prefix + relative;
            } else {
                plan.expected.addLink(prefix + relative);
                plan.ceiling += entryRoom(prefix + relative) + linkRoom;
            }
        }
        for (const QString &relative : scan.specials)
            group.excluded << prefix + relative;
    }
    if (!gone.isEmpty())
        plan.problem = QStringLiteral("No longer a file or folder: %1").arg(nameList(gone));
    else if (!unreadable.isEmpty())
        plan.problem = QStringLiteral("These folders could not be read: %1").arg(nameList(unreadable));
    addRuns(direct, true, &plan.runs);
    addRuns(followed, false, &plan.runs);
    // Deflate's worst case is a few bytes in every 16 KB; the rest covers the archive's end records.
    plan.ceiling += plan.bytes / 100 + 64 * 1024;
    return plan;
}
