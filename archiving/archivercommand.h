// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>

// The archiver's command line. Every switch that keeps a run honest is here: names are taken as
// names, the archive gets exactly the name it is given, no question can hold a run, and output
// and entry names are UTF-8 on every platform.
class ArchiverCommand
{
public:
    // Adds `items` to the ZIP archive `archive`. Links inside folders are stored as links when
    // `linksAsLinks` is true; `excluded` names entries (as they stand in the archive) to leave out.
    // `stored` entries are not compressed, the others are deflated. Adding to an existing archive
    // keeps what it holds.
    static QStringList add(const QString &archive, const QStringList &items, const QStringList &excluded,
                           bool linksAsLinks, bool stored = false);
};
