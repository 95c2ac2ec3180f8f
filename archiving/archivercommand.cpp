// SPDX-License-Identifier: MIT
#include "archiving/archivercommand.h"

namespace {

// -spd: names are names, not wildcards (also in exclusions and list files); -sae: the exact
// archive name, no extension added; -y: no question can hold the run; -bsp1: progress on standard
// output, our sign that the archiver is still working; -sccUTF-8 and -mcu=on: UTF-8 output and
// UTF-8 flagged entry names.
QStringList switches(bool linksAsLinks, bool stored)
{
    QStringList arguments{QStringLiteral("a"),         QStringLiteral("-tzip"),  QStringLiteral("-spd"),
                          QStringLiteral("-sae"),      QStringLiteral("-y"),     QStringLiteral("-bsp1"),
                          QStringLiteral("-sccUTF-8"), QStringLiteral("-mcu=on")};
    if (linksAsLinks)
        arguments << QStringLiteral("-snl");
    if (stored)
        arguments << QStringLiteral("-mx=0");
    return arguments;
}

} // namespace

QStringList ArchiverCommand::add(const QString &archive, const QStringList &items, const QStringList &excluded,
                                 bool linksAsLinks, bool stored)
{
    QStringList arguments = switches(linksAsLinks, stored);
    for (const QString &name : excluded)
        arguments << QStringLiteral("-x!") + name;
    // --: a path that begins with "-" or "@" is not a switch or a list file.
    arguments << QStringLiteral("--") << archive;
    arguments += items;
    return arguments;
}

QStringList ArchiverCommand::addFromLists(const QString &archive, const QString &itemList, const QString &excludedList,
                                          bool linksAsLinks, bool stored, const QStringList &items,
                                          const QStringList &excluded)
{
    QStringList arguments = switches(linksAsLinks, stored);
    arguments << QStringLiteral("-scsUTF-8");
    if (!excludedList.isEmpty())
        arguments << QStringLiteral("-x@") + excludedList;
    for (const QString &name : excluded)
        arguments << QStringLiteral("-x!") + name;
    arguments << archive << QStringLiteral("@") + itemList;
    arguments += items;
    return arguments;
}

QByteArray ArchiverCommand::listFile(const QStringList &names)
{
    QByteArray content;
    for (const QString &name : names)
        content += name.toUtf8() + '\n';
    return content;
}

bool ArchiverCommand::listable(const QString &name)
{
    const auto blank = [](QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); };
    const QChar quote(QLatin1Char('"'));
    return !name.isEmpty() && !name.contains(QLatin1Char('\n')) && !name.contains(QLatin1Char('\r')) &&
           !blank(name.front()) && !blank(name.back()) &&
           !(name.size() > 1 && name.front() == quote && name.back() == quote);
}

qsizetype ArchiverCommand::length(const QString &program, const QStringList &arguments)
{
    qsizetype total = program.size() + 3;
    for (const QString &argument : arguments)
        total += argument.size() + 3;
    return total;
}
