// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The archiver's command line. Every switch that keeps a run honest is here: names are taken as
// names, the archive gets exactly the name it is given, no question can hold a run, and output
// and entry names are UTF-8 on every platform.
class ArchiverCommand
{
public:
    // Windows caps a whole command line at 32,767 characters.
    static constexpr qsizetype defaultLengthLimit = 32000;

    // Adds `items` to the ZIP archive `archive`. Links inside folders are stored as links when
    // `linksAsLinks` is true; `excluded` names entries (as they stand in the archive) to leave out.
    // `stored` entries are not compressed, the others are deflated. Adding to an existing archive
    // keeps what it holds.
    static QStringList add(const QString &archive, const QStringList &items, const QStringList &excluded,
                           bool linksAsLinks, bool stored = false);

    // The same with the names read from UTF-8 list files (`excludedList` may be empty), for runs
    // whose names would not fit on a command line; `items` and `excluded` are names that a list
    // file cannot carry, given on the command line beside them. `archive` and `items` must be
    // absolute paths: list files cannot follow "--", so nothing else protects a name that begins
    // with "-".
    static QStringList addFromLists(const QString &archive, const QString &itemList, const QString &excludedList,
                                    bool linksAsLinks, bool stored = false, const QStringList &items = {},
                                    const QStringList &excluded = {});

    // The content of a list file: one name a line, UTF-8.
    static QByteArray listFile(const QStringList &names);
    // Whether a list file carries the name exactly: 7-Zip reads one name a line, trims spaces and
    // tabs at both ends, and takes the quotes off a name that stands in them.
    static bool listable(const QString &name);
    // The length of the command line these arguments make, with room for quotes.
    static qsizetype length(const QString &program, const QStringList &arguments);
};
