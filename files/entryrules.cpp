// SPDX-License-Identifier: MIT
#include "files/entryrules.h"

namespace EntryRules {

namespace {

QString unreadableMessage(const EntryScan &scan, const QString &shown)
{
    if (scan.unreadable == QLatin1String("."))
        return QStringLiteral("The folder %1 cannot be read").arg(shown);
    return QStringLiteral("The folder %1 in %2 cannot be read").arg(scan.unreadable, shown);
}

} // namespace

QString refusalToList(const EntryScan &scan, const QString &shown)
{
    // A path that names nothing (yet) is listed as an empty file; "Compress" finds it gone.
    if (scan.kind == EntryScan::Kind::Special)
        return QStringLiteral("Only files and folders can be added: %1 is a pipe, a socket or a device").arg(shown);
    return scan.unreadable.isEmpty() ? QString() : unreadableMessage(scan, shown);
}

QString refusalToPack(EntryScan::Kind listedKind, bool listedAsLink, const EntryScan &now, const QString &shown)
{
    if (now.kind == EntryScan::Kind::Missing)
        return QStringLiteral("%1 was moved or deleted after it was added; remove it from the list").arg(shown);
    if (now.kind != listedKind || now.isLink != listedAsLink)
        return QStringLiteral("%1 was replaced after it was added; remove it and add it again").arg(shown);
    return now.unreadable.isEmpty() ? QString() : unreadableMessage(now, shown);
}

} // namespace EntryRules
