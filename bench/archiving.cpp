// SPDX-License-Identifier: MIT
// Compressing through the program's job against running the same archiver command line directly,
// and the rename copy of a tile against cp. Figure and floor take turns, first one then the other
// leading, and the disk is synced between runs so one run's writing does not slow the next.
#include "app/startup.h"
#include "archiving/archivercommand.h"
#include "benchsupport.h"
#include "files/singlefilewidget.h"
#include "files/workfolder.h"
#include "mainwindow/compressionjob.h"
#include "mainwindow/mainwidget.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QWidget>

#include <functional>

namespace {

const std::int64_t MB = 1 << 20;

struct DataSet
{
    QString name;
    QStringList files;
};

QString dataFolder()
{
    const QString folder = QDir::tempPath() + QStringLiteral("/data");
    QDir().mkpath(folder);
    return folder;
}

// Text that deflate shrinks to about a fifth, like source code or a letter.
bool writeTextFile(const QString &path, std::int64_t bytes)
{
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    QByteArray text;
    for (int line = 0; text.size() < bytes; ++line)
        text += "Line " + QByteArray::number(line * 7919 % 10007) + ": the quick brown fox " +
                QByteArray::number(line) + " jumps over the lazy dog.\n";
    return out.write(text.left(bytes)) == bytes;
}

enum class Content { Noise, Text };

// `count` files in `folder` (below the data folder), each `step` bytes larger than the one before.
QStringList makeFiles(const QString &folder, int count, std::int64_t bytes, std::int64_t step, Content content)
{
    const QString path = dataFolder() + QLatin1Char('/') + folder;
    QDir().mkpath(path);
    QStringList files;
    for (int i = 0; i < count; ++i) {
        const QString file = QStringLiteral("%1/part-%2.%3")
                                 .arg(path)
                                 .arg(i, 3, 10, QChar('0'))
                                 .arg(content == Content::Text ? QStringLiteral("txt") : QStringLiteral("bin"));
        const bool written = content == Content::Text ? writeTextFile(file, bytes + i * step)
                                                      : Bench::writeRandomFile(file, bytes + i * step);
        if (!written)
            qFatal("cannot write %s", qPrintable(file));
        files << file;
    }
    return files;
}

DataSet makeDataSet(const QString &name, int count, std::int64_t bytes, std::int64_t step,
                    Content content = Content::Noise)
{
    return DataSet{name, makeFiles(name, count, bytes, step, content)};
}

// Text, incompressible files, and a folder holding both.
DataSet makeMixedSet()
{
    DataSet set{QStringLiteral("mixed"), {}};
    set.files += makeFiles(QStringLiteral("mixed"), 5, 2 * MB, 0, Content::Text);
    set.files += makeFiles(QStringLiteral("mixed/photos"), 3, 20 * MB, 0, Content::Noise);
    makeFiles(QStringLiteral("mixed/album/videos"), 2, 20 * MB, 0, Content::Noise);
    makeFiles(QStringLiteral("mixed/album/notes"), 5, MB, 0, Content::Text);
    set.files << dataFolder() + QStringLiteral("/mixed/album");
    return set;
}

void syncDisk()
{
    QProcess::execute(QStringLiteral("sync"), {});
}

double timeMs(const std::function<void()> &work)
{
    syncDisk();
    const std::int64_t start = Bench::nowNs();
    work();
    return double(Bench::nowNs() - start) / 1e6;
}

void runDirectly(const QString &program, const QString &archive, const QStringList &files)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setWorkingDirectory(dataFolder());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    process.setProcessEnvironment(environment);
    process.start(program, ArchiverCommand::add(archive, files, {}, true));
    const bool finished = process.waitForFinished(-1);
    const QByteArray output = process.readAll();
    if (!finished || !output.contains("Everything is Ok"))
        qFatal("the archiver failed on its own:\n%s", output.constData());
}

void runThroughJob(const QString &program, const QString &archive, const QStringList &files, QWidget *window)
{
    CompressionJob job;
    job.setProgram(program);
    if (job.run(archive, files, window).outcome != CompressionJob::Outcome::Succeeded)
        qFatal("the job failed");
}

void compare(const DataSet &set, int runs, const QString &program, QWidget *window)
{
    const QString archive = QDir::tempPath() + QStringLiteral("/archive.7z");
    for (int run = 0; run < runs; ++run) {
        for (int turn = 0; turn < 2; ++turn) {
            QFile::remove(archive);
            if ((run + turn) % 2 == 0) {
                const double ms = timeMs([&] { runDirectly(program, archive, set.files); });
                Bench::sample(QStringLiteral("compress.%1.direct").arg(set.name), ms);
                Bench::sample(QStringLiteral("size.%1.direct").arg(set.name), double(QFileInfo(archive).size()));
            } else {
                const double ms = timeMs([&] { runThroughJob(program, archive, set.files, window); });
                Bench::sample(QStringLiteral("compress.%1.job").arg(set.name), ms);
                Bench::sample(QStringLiteral("size.%1.job").arg(set.name), double(QFileInfo(archive).size()));
            }
        }
    }
    QFile::remove(archive);
    QDir(dataFolder() + QLatin1Char('/') + set.name).removeRecursively();
}

void compareCopy(int runs)
{
    const DataSet set = makeDataSet(QStringLiteral("copy"), 1, 400 * MB, 0);
    const QString source = set.files.first();
    for (int run = 0; run < runs; ++run) {
        for (int turn = 0; turn < 2; ++turn) {
            const QString name = QStringLiteral("copy-%1-%2.bin").arg(run).arg(turn);
            if ((run + turn) % 2 == 0) {
                const QString target = dataFolder() + QLatin1Char('/') + name;
                const double ms = timeMs([&] { QProcess::execute(QStringLiteral("cp"), {source, target}); });
                if (QFileInfo(target).size() != 400 * MB)
                    qFatal("cp made no whole copy");
                QFile::remove(target);
                Bench::sample(QStringLiteral("copy.cp"), ms);
            } else {
                SingleFileWidget tile(source);
                const double ms = timeMs([&] { tile.makeFileCopy(name); });
                const QString target = WorkFolder::path() + QLatin1Char('/') + name;
                if (QFileInfo(target).size() != 400 * MB)
                    qFatal("the tile made no whole copy");
                QFile::remove(target);
                Bench::sample(QStringLiteral("copy.tile"), ms);
            }
        }
    }
    QFile::remove(source);
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc < 4)
        qFatal("usage: bench_archiving <archiver> <runs of small sets> <runs of large sets>");
    const QString program = QString::fromLocal8Bit(argv[1]);
    const int smallRuns = QByteArray(argv[2]).toInt();
    const int largeRuns = QByteArray(argv[3]).toInt();

    // The job runs over the program's own window, styled as in the program.
    Startup startup(app);
    startup.show();
    QWidget *window = startup.mainWindow();
    Bench::settle();

    const DataSet small = makeDataSet(QStringLiteral("small200"), 200, 1024, 97, Content::Text);
    // Not counted: the first run in a process also loads what the progress dialog needs (about
    // 20 ms, once).
    runThroughJob(program, QDir::tempPath() + QStringLiteral("/warm-up.7z"), small.files, window);
    QFile::remove(QDir::tempPath() + QStringLiteral("/warm-up.7z"));
    compare(small, smallRuns, program, window);
    if (largeRuns > 0) {
        compare(makeDataSet(QStringLiteral("five100"), 5, 100 * MB, 0), largeRuns, program, window);
        compare(makeDataSet(QStringLiteral("one450"), 1, 450 * MB, 0), largeRuns, program, window);
        compare(makeMixedSet(), largeRuns, program, window);
        compareCopy(largeRuns + 2);
    }
    WorkFolder::remove();
    QDir(dataFolder()).removeRecursively();
    return 0;
}
