// SPDX-License-Identifier: MIT
#include "files/entryrules.h"

#include <QRegularExpression>

namespace EntryRules {

namespace {

QString unreadableMessage(const EntryScan &scan, const QString &shown)
{
    if (scan.unreadable == QLatin1String("."))
        return QStringLiteral("The folder %1 cannot be read").arg(shown);
    return QStringLiteral("The folder %1 in %2 cannot be read").arg(scan.unreadable, shown);
}

// Windows's own names for devices, also with an extension, in any case and with spaces before the
// dot; "COM" and "LPT" take the superscript digits too.
bool isDeviceName(const QString &name)
{
    static const QRegularExpression device(QStringLiteral("^(CON|PRN|AUX|NUL|(COM|LPT)[1-9\\x{B9}\\x{B2}\\x{B3}]) *$"),
                                           QRegularExpression::CaseInsensitiveOption);
    return device.match(name.section(QLatin1Char('.'), 0, 0)).hasMatch();
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

QString refusalOfRoot(const QString &path, const QString &shown)
{
    static const QRegularExpression root(QStringLiteral("^(/+|[A-Za-z]:/*|//[^/]+/[^/]+/*)$"));
    if (!root.match(path).hasMatch())
        return QString();
    return QStringLiteral("%1 is a whole drive; add the files and folders on it instead").arg(shown);
}

bool isPortableFileName(const QString &name)
{
    if (name.isEmpty() || name.size() > 255 || name.endsWith(QLatin1Char('.')) || name.endsWith(QLatin1Char(' ')))
        return false;
    for (const QChar c : name) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f || QStringView(u"<>:\"|?*/\\").contains(c))
            return false;
    }
    return !isDeviceName(name);
}

} // namespace EntryRules
