// SPDX-License-Identifier: MIT
#include "archiving/archivercommand.h"

QStringList ArchiverCommand::add(const QString &archive, const QStringList &items, const QStringList &excluded,
                                 bool linksAsLinks, bool stored)
{
    // -spd: names are names, not wildcards (also in exclusions); -sae: the exact archive name, no
    // extension added; -y: no question can hold the run; -bsp1: progress on standard output, our
    // sign that the archiver is still working; -sccUTF-8 and -mcu=on: UTF-8 output and UTF-8
    // flagged entry names; --: a path that begins with "-" or "@" is not a switch or a list file.
    QStringList arguments{QStringLiteral("a"),         QStringLiteral("-tzip"),  QStringLiteral("-spd"),
                          QStringLiteral("-sae"),      QStringLiteral("-y"),     QStringLiteral("-bsp1"),
                          QStringLiteral("-sccUTF-8"), QStringLiteral("-mcu=on")};
    if (linksAsLinks)
        arguments << QStringLiteral("-snl");
    if (stored)
        arguments << QStringLiteral("-mx=0");
    for (const QString &name : excluded)
        arguments << QStringLiteral("-x!") + name;
    arguments << QStringLiteral("--") << archive;
    arguments += items;
    return arguments;
}
