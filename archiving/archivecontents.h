// SPDX-License-Identifier: MIT
#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

// The entries of an archive by path: what the chosen files must give, or what a written archive
// holds according to its central directory. Comparing the two is how a run proves itself.
class ArchiveContents
{
public:
    enum class Type { File, Folder, Link };
    struct Entry
    {
        Type type = Type::File;
        qint64 size = 0;
        bool operator==(const Entry &other) const { return type == other.type && size == other.size; }
    };

    void addFile(const QString &path, qint64 size);
    void addFolder(const QString &path);
    void addLink(const QString &path);
    // A name that is no UTF-8, readable: never one of the chosen entries.
    void addUnnamed(const QString &shown);

    // Empty when `written` holds exactly these entries; otherwise one line that names the first
    // missing, wrong and unexpected entries. A link's size is the length of its target and is
    // not compared.
    QString differences(const ArchiveContents &written) const;

private:
    QMap<QString, Entry> entries;
    QStringList unnamed;
};
