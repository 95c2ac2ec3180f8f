// SPDX-License-Identifier: MIT
#pragma once

#include "files/workfolder.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>

// A fresh folder per test that also holds the system temporary directory, so the working folder
// is private to the test. The temporary directory sits one level down, so that even a name that
// climbs out of the working folder stays inside.
class FileFixture
{
public:
    FileFixture() : savedTmpDir(qgetenv("TMPDIR"))
    {
        QDir().mkpath(root.path() + "/tmp");
        qputenv("TMPDIR", QFile::encodeName(root.path() + "/tmp"));
    }
    ~FileFixture() { qputenv("TMPDIR", savedTmpDir); }

    QString path(const QString &relative) const { return root.path() + '/' + relative; }
    static QString work(const QString &name) { return WorkFolder::path() + '/' + name; }

    // Small files get their content written; big ones are sparse.
    QString makeFile(const QString &relative, qint64 size, char fill = 'x') const
    {
        const QString file = path(relative);
        QDir().mkpath(QFileInfo(file).absolutePath());
        QFile out(file);
        if (!out.open(QIODevice::WriteOnly))
            return QString();
        if (size <= 1 << 20)
            out.write(QByteArray(size, fill));
        else
            out.resize(size);
        return file;
    }

    static QByteArray contents(const QString &file)
    {
        QFile in(file);
        return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
    }

    // Every entry below a folder, relative, links marked, for "nothing else changed" checks.
    static QStringList tree(const QString &folder)
    {
        QStringList entries;
        QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            it.next();
            entries << QDir(folder).relativeFilePath(it.filePath()) + (it.fileInfo().isSymLink() ? " (link)" : "");
        }
        entries.sort();
        return entries;
    }

private:
    QTemporaryDir root;
    QByteArray savedTmpDir;
};
