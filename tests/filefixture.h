// SPDX-License-Identifier: MIT
#pragma once

#include "files/workfolder.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <fcntl.h>
#include <sys/stat.h>
#ifdef Q_OS_WIN
#include <io.h> // chmod
// What needs pipes, links, modes and other users is tested where those exist.
#define POSIX_ONLY() QSKIP("POSIX only: pipes, links, modes or other users")
#define POSIX_CALL(call) false
#else
#define POSIX_ONLY() (void)0
#define POSIX_CALL(call) (call)
#include <unistd.h>
#endif

// A fresh folder per test that also holds the system temporary directory and the cache, so the
// working folder is private to the test. They sit one level down, so that even a name that climbs
// out of the working folder stays inside.
class FileFixture
{
public:
    FileFixture() : savedTmpDir(qgetenv("TMPDIR")), savedCache(qgetenv("XDG_CACHE_HOME"))
    {
        QDir().mkpath(root.path() + "/tmp");
        qputenv("TMPDIR", QFile::encodeName(root.path() + "/tmp"));
        qputenv("XDG_CACHE_HOME", QFile::encodeName(root.path() + "/cache"));
    }
    ~FileFixture()
    {
        WorkFolder::release();
        qputenv("TMPDIR", savedTmpDir);
        qputenv("XDG_CACHE_HOME", savedCache);               // empty counts as unset
        QProcess::execute("rm", {"-rf", "--", root.path()}); // Qt cannot remove names that are no UTF-8
    }

    // A path below the fixture's folder; an absolute path stays as it is.
    QString path(const QString &relative) const { return QDir(root.path()).filePath(relative); }
    static QString work(const QString &name) { return WorkFolder::path() + '/' + name; }
    static bool isRoot() { return POSIX_CALL(::geteuid() == 0); }
    static bool makePipeAt([[maybe_unused]] const QString &at)
    {
        return POSIX_CALL(::mkfifo(QFile::encodeName(at).constData(), 0644) == 0);
    }
    static bool giveToNobody([[maybe_unused]] const QString &at)
    {
        return POSIX_CALL(::chown(QFile::encodeName(at).constData(), 65534, 65534) == 0);
    }

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

    // A file, and its folders, under a relative name given as bytes, which need not be UTF-8.
    bool makeRawFile(const QByteArray &relative, qint64 size) const
    {
#ifdef Q_OS_WIN
        return relative.isEmpty() && size < 0; // names are UTF-16 there
#else
        const QByteArray file = QFile::encodeName(root.path()) + '/' + relative;
        for (qsizetype at = file.indexOf('/', 1); at > 0; at = file.indexOf('/', at + 1))
            ::mkdir(file.left(at).constData(), 0755);
        const int fd = ::open(file.constData(), O_CREAT | O_WRONLY, 0644);
        return fd >= 0 && ::ftruncate(fd, size) == 0 && ::close(fd) == 0;
#endif
    }

    // A named pipe at `relative`; true when made.
    bool makePipe(const QString &relative) const
    {
        QDir().mkpath(QFileInfo(path(relative)).absolutePath());
        return makePipeAt(path(relative));
    }

private:
    QTemporaryDir root;
    QByteArray savedTmpDir, savedCache;
};

// Another running copy of the program (tests/otherprogram.cpp) that renames `path` to `newName`,
// started with this process's environment, so it shares the fixture's temporary folder. With
// `asUser` it runs as that user (the test must then be root).
class OtherProgram
{
public:
    OtherProgram(const QString &path, const QString &newName, const QString &asUser = QString())
    {
        QStringList arguments{PARCELO_OTHER_PROGRAM, path, newName};
        if (!asUser.isEmpty()) {
            // runuser gives the user's own home; the temporary folder and the platform go along, and
            // the cache is the user's own.
            const QStringList environment{"-u", "XDG_CACHE_HOME", "TMPDIR=" + qEnvironmentVariable("TMPDIR"),
                                          "QT_QPA_PLATFORM=offscreen"};
            arguments = QStringList{"-u", asUser, "--", "env"} + environment + arguments;
        }
        process.start(asUser.isEmpty() ? arguments.takeFirst() : QStringLiteral("runuser"), arguments);
    }
    ~OtherProgram()
    {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished();
        }
    }
    // What it printed after its rename: "copied <path>" or "refused <message>".
    QString result()
    {
        while (!process.canReadLine() && process.waitForReadyRead(30000)) {
        }
        return QString::fromUtf8(process.readLine()).trimmed();
    }
    // Sends "remove" or anything else and waits for its end; true when it ended well.
    bool finish(const QByteArray &line)
    {
        process.write(line + '\n');
        process.closeWriteChannel();
        return process.waitForFinished(30000) && process.exitStatus() == QProcess::NormalExit &&
               process.exitCode() == 0;
    }
    // Ends it as a crash would, leaving its copies and its lock behind.
    void crash()
    {
        process.kill();
        process.waitForFinished();
    }

private:
    QProcess process;
};
