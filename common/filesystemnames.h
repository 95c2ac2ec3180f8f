// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// Names exactly as the file system holds them: bytes on Unix, where a name need not be UTF-8 and
// Qt's own listing turns such bytes into U+FFFD, a name that then opens nothing. Windows names
// are UTF-16 and always convert, so Qt's listing serves there.
namespace FileSystemNames {

enum class Type { File, Folder, Link, Other };

struct Entry
{
    QByteArray name;
    Type type = Type::Other;
    // Regular files only.
    qint64 size = 0;
};

// A path as list() takes it.
QByteArray encode(const QString &path);

// The entries of one folder, links not followed; false when it cannot be read.
bool list(const QByteArray &folder, QList<Entry> *entries);

// True with `name` holding the name exactly, every mark kept (also a leading U+FEFF); false when
// the bytes are no UTF-8, with `name` holding them readably, each stray byte as "\xE9".
bool decode(const QByteArray &bytes, QString *name);

} // namespace FileSystemNames
