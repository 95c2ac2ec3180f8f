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

    // A path below the fixture's folder; an absolute path stays as it is.
    QString path(const QString &relative) const { return QDir(root.path()).filePath(relative); }
    static QString work(const QString &name) { return WorkFolder::path() + '/' + name; }

    // Small files get their content written; big ones are sparse.
    QString makeFile(const QString &relative, qint64 size, char fill = 'x') const
    {
        const QString file = path(relative);
        QDir().mkpath(QFileInfo(file).absolutePath());
        QFile out(file);
        const bool made = out.open(QIODevice::WriteOnly) &&
                          (size > 1 << 20 ? out.resize(size) : out.write(QByteArray(size, fill)) == size);
        return made ? file : QString();
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
