// SPDX-License-Identifier: MIT
#pragma once

#include "files/workfolder.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <fcntl.h>
#include <mutex>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

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
    ~FileFixture()
    {
        WorkFolder::release();
        qputenv("TMPDIR", savedTmpDir);
    }

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

    // A named pipe and a Unix socket at `relative`; true when made.
    bool makePipe(const QString &relative) const
    {
        QDir().mkpath(QFileInfo(path(relative)).absolutePath());
        return ::mkfifo(QFile::encodeName(path(relative)).constData(), 0644) == 0;
    }
    bool makeSocket(const QString &relative) const
    {
        QDir().mkpath(QFileInfo(path(relative)).absolutePath());
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const QByteArray name = QFile::encodeName(path(relative));
        if (size_t(name.size()) >= sizeof address.sun_path)
            return false;
        std::copy(name.begin(), name.end(), address.sun_path);
        const int socket = ::socket(AF_UNIX, SOCK_STREAM, 0);
        const bool bound = socket >= 0 && ::bind(socket, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0;
        if (socket >= 0)
            ::close(socket);
        return bound;
    }

private:
    QTemporaryDir root;
    QByteArray savedTmpDir;
};

// Guards a test against a regression that opens a named pipe for reading, which waits for a writer
// for ever: after 20 s it opens the writing end, again and again, so the waiting call returns and
// the test fails on fired() instead of hanging.
class PipeGuard
{
public:
    explicit PipeGuard(const QString &pipe)
        : watchdog([this, name = QFile::encodeName(pipe)] {
              std::unique_lock<std::mutex> lock(mutex);
              if (ended.wait_for(lock, std::chrono::seconds(20), [this] { return done; }))
                  return;
              fired = true;
              while (!ended.wait_for(lock, std::chrono::milliseconds(50), [this] { return done; })) {
                  const int writer = ::open(name.constData(), O_WRONLY | O_NONBLOCK);
                  if (writer >= 0)
                      ::close(writer);
              }
          })
    {}
    ~PipeGuard() { stop(); }
    // Ends the watch; true when the pipe had to be freed.
    bool stop()
    {
        {
            std::lock_guard<std::mutex> lock(mutex);
            done = true;
        }
        ended.notify_all();
        if (watchdog.joinable())
            watchdog.join();
        return fired;
    }

private:
    std::mutex mutex;
    std::condition_variable ended;
    bool done = false;
    bool fired = false;
    std::thread watchdog;
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
            // runuser resets the environment; the temporary folder and the platform go along.
            arguments = QStringList{"-u",
                                    asUser,
                                    "--",
                                    "env",
                                    "TMPDIR=" + qEnvironmentVariable("TMPDIR"),
                                    "QT_QPA_PLATFORM=offscreen"} +
                        arguments;
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
