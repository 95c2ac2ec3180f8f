// SPDX-License-Identifier: MIT
#include "files/entryrules.h"

#include "common/namelist.h"

#include <QRegularExpression>

#include <cmath>

namespace EntryRules {

namespace {

QString unreadableMessage(const EntryScan &scan, const QString &shown)
{
    if (scan.unreadable == QLatin1String("."))
        return QStringLiteral("The folder %1 cannot be read").arg(shown);
    return QStringLiteral("The folder %1 in %2 cannot be read").arg(scan.unreadable, shown);
}

QString unreadableOrUnnamed(const EntryScan &scan, const QString &shown)
{
    if (!scan.unreadable.isEmpty())
        return unreadableMessage(scan, shown);
    if (!scan.undecodable.isEmpty())
        return QStringLiteral("These names in %1 cannot be packed: %2").arg(shown, nameList(scan.undecodable));
    return QString();
}

// Windows's own names for devices, also with an extension, in any case and with spaces before the
// dot; "COM" and "LPT" take the superscript digits too.
bool isDeviceName(const QString &name)
{
    static const QRegularExpression device(QStringLiteral("^(CON|PRN|AUX|NUL|(COM|LPT)[1-9\\x{B9}\\x{B2}\\x{B3}]) *$"),
                                           QRegularExpression::CaseInsensitiveOption);
    return device.match(name.section(QLatin1Char('.'), 0, 0)).hasMatch();
}

bool isControl(QChar c)
{
    return c.unicode() < 0x20 || c.unicode() == 0x7f;
}

QString megabytesText(float megabytes)
{
    return QString::number(double(std::round(megabytes * 100.0f) / 100.0f), 'g', 6) + QStringLiteral(" MB");
}

} // namespace

QString refusalToList(const EntryScan &scan, const QString &shown)
{
    // A path that names nothing (yet) is listed as an empty file; "Compress" finds it gone.
    if (scan.kind == EntryScan::Kind::Special)
        return QStringLiteral("Only files and folders can be added: %1 is a pipe, a socket or a device").arg(shown);
    return unreadableOrUnnamed(scan, shown);
}

QString refusalToPack(EntryScan::Kind listedKind, bool listedAsLink, const EntryScan &now, const QString &shown)
{
    if (now.kind == EntryScan::Kind::Missing)
        return QStringLiteral("%1 was moved or deleted after it was added; remove it from the list").arg(shown);
    if (now.kind != listedKind || now.isLink != listedAsLink)
        return QStringLiteral("%1 was replaced after it was added; remove it and add it again").arg(shown);
    return unreadableOrUnnamed(now, shown);
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
    return nameProblem(name).isEmpty();
}

QString nameProblem(const QString &name)
{
    if (name.isEmpty())
        return QStringLiteral("A name cannot be empty");
    if (name.size() > 255)
        return QStringLiteral("A name can have at most 255 characters; this one has %1").arg(name.size());
    for (const QChar c : name) {
        if (isControl(c))
            return QStringLiteral("A name cannot hold control characters such as tabs or line breaks");
        if (QStringView(u"<>:\"|?*/\\").contains(c))
            return QStringLiteral("A name cannot hold \"%1\"").arg(c);
    }
    if (name.endsWith(QLatin1Char('.')))
        return QStringLiteral("A name cannot end in a dot");
    if (name.endsWith(QLatin1Char(' ')))
        return QStringLiteral("A name cannot end in a space");
    if (isDeviceName(name))
        return QStringLiteral("\"%1\" is the name of a device on Windows")
            .arg(name.section(QLatin1Char('.'), 0, 0).trimmed());
    return QString();
}

qsizetype stemLength(const QString &name, bool isFolder)
{
    qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (isFolder || dot <= 0 || dot == name.size() - 1)
        return name.size();
    // Archives keep their double extension.
    if (name.left(dot).endsWith(QLatin1String(".tar"), Qt::CaseInsensitive) && dot > 4)
        dot -= 4;
    return dot;
}

Notice summarise(const QList<Refusal> &refusals, float megabytesLeft)
{
    Notice notice;
    if (refusals.isEmpty())
        return notice;
    notice.text = refusals.first().text;
    notice.overLimit = refusals.first().kind == Refusal::Kind::OverLimit;
    QList<Refusal::Kind> kinds;
    for (const Refusal &refusal : refusals) {
        if (!kinds.contains(refusal.kind))
            kinds << refusal.kind;
    }
    QStringList lines;
    for (const Refusal::Kind kind : std::as_const(kinds)) {
        QStringList names;
        for (qsizetype i = 0; i < refusals.size(); ++i) {
            const Refusal &refusal = refusals.at(i);
            // The first text names an entry of the other kinds itself.
            if (refusal.kind != kind || (kind == Refusal::Kind::Other && i == 0))
                continue;
            names << (kind == Refusal::Kind::OverLimit
                          ? QStringLiteral("%1 (%2)").arg(refusal.name, megabytesText(refusal.megabytes))
                          : refusal.name);
        }
        if (kind == Refusal::Kind::Listed)
            lines << QStringLiteral("Already listed: %1.").arg(nameList(names));
        else if (kind == Refusal::Kind::OverLimit)
            lines << QStringLiteral("Not added: %1. %2 of the 500 MB are left.")
                         .arg(nameList(names), megabytesText(std::max(megabytesLeft, 0.0f)));
        else if (!names.isEmpty())
            lines << QStringLiteral("Also refused: %1.").arg(nameList(names));
    }
    notice.informative = lines.join(QLatin1Char('\n'));
    return notice;
}

} // namespace EntryRules
