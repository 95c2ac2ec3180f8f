// SPDX-License-Identifier: MIT
#include "advertising/advdata.h"
#include "archiving/archivedestination.h"
#include "archiving/archiverprocess.h"
#include "archiving/compressibility.h"
#include "archiving/packingjob.h"
#include "common/progressdialog.h"
#include "filefixture.h"
#include "files/filewidget.h"
#include "files/workfolder.h"
#include "files/workprogress.h"
#include "mainwindow/compressionjob.h"
#include "mainwindow/mainwidget.h"
#include "testsupport.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDirIterator>
#include <QProcess>
#include <QProgressBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QSemaphore>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <atomic>
#include <fcntl.h>
#include <locale.h>
#include <optional>
#include <thread>
#ifndef Q_OS_WIN
#include <unistd.h>
#endif

using TestSupport::ModalAnswer;

namespace {

// 7-Zip, noting that it ran, with the failures it cannot show on demand as $PARCELO_SCENARIO says;
// $archive is the archive it was asked to write, named after "--".
const QByteArray standIn = R"sh(#!/bin/sh
here=${0%/util/7z.exe}; touch "$here/archiver-ran"
archive=; prev=; for a in "$@"; do [ "$prev" = -- ] && [ -z "$archive" ] && archive=$a; prev=$a; done
case $PARCELO_SCENARIO in
question) [ "$1" = a ] && { read -r answer; for i in $(seq 20); do echo " $i%"; sleep 0.1; done; } ;;
meanwhile) [ "$1" = a ] && echo theirs >"$(dirname "$(dirname "$archive")")/pack.7z" ;;
link) [ "$1" = a ] && ln -s elsewhere "$(dirname "$(dirname "$archive")")/pack.7z" ;;
vanish) mv "$here/in/b.txt" "$here/away.txt" ;;
lying) [ "$1" = a ] && 7zz "$@" >/dev/null && 7zz d -tzip -y -- "$archive" b.txt >/dev/null && echo 'Everything is Ok' && exit 0 ;;
stall) echo partial >"$archive"; echo Scanning; exec perl -e 'sleep 60' -- "$archive" ;;
cancel|escape) while true; do echo ' 40% 1 + a.txt'; sleep 0.1; done ;;
refused) exec runuser -u nobody -- 7zz "$@" ;;
removed) 7zz "$@"; status=$?; rm -r "$(dirname "$(dirname "$archive")")"; exit $status ;;
read-only) 7zz "$@"; status=$?; mount -o remount,ro "$(dirname "$(dirname "$archive")")"; exit $status ;;
lists) for a in "$@"; do case $a in @*|-x@*) echo "$a" >>"$here/lists" ;; esac; done ;;
smuggled) f="$here/in/folder/caf$(printf '\351')"; : >"$f"; 7zz "$@"; s=$?; rm "$f"; exit $s ;;
esac
exec 7zz "$@")sh";

const char *const done = "Compression finished successfully!";

// "Compress" with a.txt, b.txt and folder listed: the situation, the message, its informative line.
const struct Press
{
    const char *scenario, *text, *detail;
} presses[] = {
    {"empty", "Please select at least one file to compress", ""},
    {"taken", "File with this name already exists", ""},
    {"gone", "b.txt was moved or deleted after it was added; remove it from the list", ""},
    {"-r.7z", done, "7z file is saved in "},
    {"@list.7z", done, "7z file is saved in "},
    {"open", done, "7z file is saved in "},
    {"documents", done, "7z file is saved in "}, // its "compressed_files" is made for it, and only for it
    {"work folder", "Please choose another folder for the archive.", ""}, // by a link made after the choice
    {"enter", done, "7z file is saved in "},                              // Enter only acknowledges
    {"question", done, "7z file is saved in "}, // nothing may wait for an answer, nor stop a run that reports
    {"meanwhile", "File with this name already exists", "Something else was saved as "},
    {"link", "File with this name already exists", "Something else was saved as "}, // nothing written through it
    {"vanish", "Compression failed!", "These files could not be read: b.txt"},
    {"lying", "Compression failed!", "The written archive does not hold the chosen files: missing b.txt"},
    {"smuggled", "Compression failed!",
     "The written archive does not hold the chosen files: not chosen folder/caf\\xE9"},
    {"stall", "Compression failed!", "7-Zip stopped responding"},
    {"no folder", "Compression failed!", "The folder /proc/parcelo-none does not exist"},
    {"cancel", "", ""}, // by a click on "Cancel"
    {"escape", "", ""},
    {"unstartable", "Compression failed!", "7-Zip could not be started"},
    {"trap", "Compression failed!", "7-Zip was not found at "}, // a util/7z.exe in the current folder never runs
    {"full", "Compression failed!", "There is not enough free space in "},
    {"refused",
     "You are unable to save the file in the specified destination. To resolve this, kindly choose another "
     "folder for the archive.",
     "Parcelo may not write in "},
    // Another user ran first, and a folder of that user's stands where the copies would go.
    {"another user", done, "7z file is saved in "},
};
const int rootOnly = 3;         // the last rows need root (a small disk, another user)
const int notLooped = rootOnly; // nor in the leak loop

bool writeFile(const QString &path, const QByteArray &content = "data\n")
{
    QFile file(path);
    return QDir().mkpath(QFileInfo(path).absolutePath()) && file.open(QIODevice::WriteOnly) &&
           file.write(content) == content.size();
}

// Each entry's properties as 7-Zip lists them ("Path", "Size", "Method", ...).
QList<QMap<QString, QString>> properties(const QString &archivePath)
{
    QProcess list;
    list.start("7zz", {"l", "-slt", "-ba", "-sccUTF-8", "--", archivePath});
    list.waitForFinished(60000);
    QList<QMap<QString, QString>> found;
    for (const QString &line : QString::fromUtf8(list.readAllStandardOutput()).split('\n')) {
        const qsizetype equals = line.indexOf(" = ");
        if (line.startsWith("Path = "))
            found.append(QMap<QString, QString>());
        if (equals > 0 && !found.isEmpty())
            found.last().insert(line.left(equals), line.mid(equals + 3));
    }
    return found;
}

// An archive's entries as 7-Zip lists them, with their kinds and sizes.
ArchiveContents listed(const QString &archivePath)
{
    ArchiveContents contents;
    for (const auto &entry : properties(archivePath)) {
        const QString path = entry.value("Path");
        if (entry.value("Folder") == "+")
            contents.addFolder(path);
        else if (entry.value("Attributes").section(' ', -1).startsWith('l'))
            contents.addLink(path); // a stored link's Unix mode reads "lrwxrwxrwx"
        else
            contents.addFile(path, entry.value("Size").toLongLong());
    }
    return contents;
}

QByteArray noise(qint64 size)
{
    QFile random("/dev/urandom");
    return random.open(QIODevice::ReadOnly) ? random.read(size) : QByteArray();
}

QByteArray text(qint64 size)
{
    return QByteArray("a line of plain text that deflate shrinks\n").repeated(int(size / 40 + 1)).left(size);
}

// Each entry below a folder with its content: what came, went or changed.
QMap<QString, QByteArray> snapshot(const QString &folder)
{
    QMap<QString, QByteArray> found;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile file(it.next());
        found[it.filePath().mid(folder.size() + 1)] =
            it.fileInfo().isFile() && file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    return found;
}

// "folder/|file=size|link>" as archive contents.
ArchiveContents contents(const QString &described)
{
    ArchiveContents made;
    for (const QString &entry : described.split('|'))
        entry.endsWith('/')   ? made.addFolder(entry.chopped(1))
        : entry.endsWith('>') ? made.addLink(entry.chopped(1))
                              : made.addFile(entry.section('=', 0, 0), entry.section('=', 1).toLongLong());
    return made;
}

// Input as the window system brings it: to the window first, which hands it to the widget.
void clickThroughWindow(QWidget *widget)
{
    QWidget *top = widget->window();
    QTest::mouseClick(top->windowHandle(), Qt::LeftButton, {}, widget->mapTo(top, widget->rect().center()));
}

// Pixels in the middle of the bar, where its percentage is, of about this colour.
int inked(QProgressBar *bar, const QColor &ink)
{
    const QImage image = bar->grab().toImage();
    int count = 0;
    for (int x = image.width() / 3; x < image.width() * 2 / 3; ++x) {
        for (int y = 4; y < image.height() - 4; ++y) {
            const QColor c = image.pixelColor(x, y);
            count += qAbs(c.red() - ink.red()) + qAbs(c.green() - ink.green()) + qAbs(c.blue() - ink.blue()) < 60;
        }
    }
    return count;
}

// A verdict as "Outcome: cause"; exit code -1 stands for a crash.
QString judged(int exitCode, const QString &output)
{
    RunVerdict::Run run;
    run.crashed = exitCode < 0;
    run.exitCode = qMax(exitCode, 0);
    run.output = output;
    const RunVerdict verdict = RunVerdict::judge(run, "/o/.u/x.7z", "/7z", 30, "/o");
    const QString outcome = QStringList{"Succeeded", "AccessDenied", "Failed", "Cancelled"}.at(int(verdict.outcome));
    return verdict.cause.isEmpty() ? outcome : outcome + ": " + verdict.cause;
}

} // namespace

// Compression from its decisions through real runs of 7-Zip to "Compress" in the main window.
class TestCompression : public QObject
{
    Q_OBJECT
public slots:
    void open(const QUrl &url) { opened << url; } // the desktop's handler for file URLs
private slots:
    void init();
    void cleanup();
    void decisionsFollowTheRules_data();
    void decisionsFollowTheRules();
    void packsExactlyTheChosenEntries();
    void compressReportsAndLeavesOnlyTheArchive_data();
    void compressReportsAndLeavesOnlyTheArchive();
    void manyPressesLeaveNothingBehind();
    void jobHoldsAtTheEdges_data();
    void jobHoldsAtTheEdges();
    void progressWindowsShareOneManner_data();
    void progressWindowsShareOneManner();
    void removalKeepsTheWindowAlive();

private:
    void press(const Press &row);

    QTemporaryDir base;
    QTemporaryDir *temp = nullptr;
    MainWidget *window = nullptr;
    FileWidget *panel = nullptr;
    QString src, out, archive, mounted;
    QList<QUrl> opened;
    int browsed = 0;
};

void TestCompression::init()
{
    qputenv("HOME", QFile::encodeName(base.path() + "/home"));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(base.path() + "/home/.config"));
    qunsetenv("XDG_CACHE_HOME");
    qputenv("TMPDIR", QFile::encodeName(base.path() + "/tmp"));
    // A user's locale that is not UTF-8: the job must give 7-Zip one of its own.
    qputenv("LC_ALL", "de_DE.ISO-8859-1");
#ifndef Q_OS_WIN
    const locale_t latin1 = ::newlocale(LC_CTYPE_MASK, "de_DE.ISO-8859-1", locale_t(nullptr));
    QVERIFY2(latin1, "no de_DE.ISO-8859-1 locale: run scripts/setup.sh");
    ::freelocale(latin1);
#endif
    QVERIFY(QDir().mkpath(base.path() + "/home/Documents") && QDir().mkpath(base.path() + "/tmp"));
    QDesktopServices::setUrlHandler("file", this, "open");
    opened.clear();
    browsed = 0;
    if (QTest::currentTestFunction() == QByteArray("decisionsFollowTheRules"))
        return; // nothing on disk, no window
    temp = new QTemporaryDir;
    QVERIFY(temp->isValid());
    src = temp->path() + "/in";
    out = temp->path() + "/Everything is Ok"; // words that may show in 7-Zip's output, in a path
    for (const char *name : {"a.txt", "b.txt", "folder/c.txt"})
        QVERIFY(writeFile(src + "/" + name));
    QVERIFY(QDir().mkpath(out) && writeFile(temp->path() + "/util/7z.exe", standIn));
    for (const QString &path : {base.path(), temp->path(), temp->path() + "/util/7z.exe"})
        QVERIFY(QFile::setPermissions(path, QFileDevice::Permissions(0x7755))); // for another user to pass

    QVERIFY(QDir::setCurrent(temp->path())); // where the trap lies: util/7z.exe
    window = new MainWidget;
    panel = window->findChild<FileWidget *>();
    window->setOpenDialog([this](QWidget *) {
        ++browsed;
        return QStringList();
    });
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
}

void TestCompression::cleanup()
{
    const bool outlived = temp && QProcess::execute("pgrep", {"-f", temp->path()}) == 0;
    QDir::setCurrent(base.path());
    if (!mounted.isEmpty())
        QProcess::execute("umount", {std::exchange(mounted, QString())});
    delete std::exchange(window, nullptr);
    delete std::exchange(temp, nullptr);
    QDesktopServices::unsetUrlHandler("file");
    QVERIFY2(!outlived, "an archiver outlived its run");
    QTRY_COMPARE(TestSupport::visibleTopLevels(), 0);
}

void TestCompression::decisionsFollowTheRules_data()
{
    QTest::addColumn<QString>("given");
    QTest::addColumn<QString>("expected");
    const auto destination = [](const char *first) { return ArchiveDestination::defaultFor(first, "/h", "/w/run"); };
    QTest::newRow("destination beside the first entry") << destination("/d/P/a.jpg") << "/d/P/P.7z";
    QTest::newRow("destination below the root") << destination("/etc") << "/h/compressed_files/etc.7z";
    QTest::newRow("destination of a renamed copy") << destination("/w/run/r.txt") << "/h/compressed_files/r.txt.7z";
    const auto free = [](const char *path, const QStringList &taken) {
        return ArchiveDestination::firstFree(path, [&](const QString &candidate) { return taken.contains(candidate); });
    };
    QTest::newRow("free name, not taken") << free("/d/P/P.7z", {"/d/P/P (2).7z"}) << "/d/P/P.7z";
    QTest::newRow("free name, taken twice") << free("/d/P/P.7z", {"/d/P/P.7z", "/d/P/P (2).7z"}) << "/d/P/P (3).7z";
    QTest::newRow("free name, dotted folder") << free("/d/v1.2/pack", {"/d/v1.2/pack"}) << "/d/v1.2/pack (2)";

    const QString switches = "a -tzip -spd -sae -y -bsp1 -sccUTF-8 -mcu=on ";
    QTest::newRow("names after --") << ArchiverCommand::add("/x.7z", {"/-r", "/@l"}, {"d/p"}, true).join(' ')
                                    << switches + "-snl -x!d/p -- /x.7z /-r /@l";
    QTest::newRow("stored") << ArchiverCommand::add("/x.7z", {"/n"}, {}, false, true).join(' ')
                            << switches + "-mx=0 -- /x.7z /n";
    QTest::newRow("list files")
        << ArchiverCommand::addFromLists("/x.7z", "/i", "/e", false, false, {"/ n"}, {"d/ p"}).join(' ')
        << switches + "-scsUTF-8 -x@/e -x!d/ p /x.7z @/i / n";
    // A list file trims blanks at a line's ends and unquotes a quoted line.
    QStringList listable;
    for (const char *name : {"/a b", "/t\t", "d/ ", " d", "\"q\"", "a\"b\"", "\"a", "x\ny", "x\r"})
        listable << (ArchiverCommand::listable(name) ? "yes" : "no");
    QTest::newRow("listable names") << listable.join(' ') << "yes no no no no yes yes no no";

    // Success needs status 0 and the words as a line of their own, not in erased progress.
    const QString progress = " 50% 2 + Everything is Ok - holiday.bin\b\b\b\b\b\b     \b\b\b\b\b\b";
    const QString code = "Failed: 7-Zip ended with exit code ";
    QTest::newRow("words in progress") << judged(0, progress + "\n") << code + "0";
    QTest::newRow("words after progress") << judged(0, progress + "Everything is Ok\r\n") << "Succeeded";
    QTest::newRow("other case") << judged(0, "everything is ok\n") << code + "0";
    QTest::newRow("status 2") << judged(2, "Everything is Ok\n") << code + "2";
    QTest::newRow("crash") << judged(-1, "Everything is Ok\n") << "Failed: 7-Zip ended unexpectedly";
    QTest::newRow("skipped files") << judged(1, "/i/b : errno=2 : x\n/i/a : b : errno=13 : x\n/i/c : errno=5 : x\n"
                                                "/i/d : errno=5 : x\n/i/e : errno=5 : x\nEverything is Ok\n")
                                   << "Failed: These files could not be read: b, a : b, c and 2 more";
    QTest::newRow("full disk") << judged(2, "errno=28 : x\n") << "Failed: There is not enough free space in /o";
    const QString denied = "AccessDenied: Parcelo may not write in /o";
    QTest::newRow("archive refused") << judged(2, "cannot open file\n/o/.u/x.7z\nerrno=13 : Permission denied\n")
                                     << denied;
    QTest::newRow("Windows wording") << judged(2, "cannot open file\n/o/.u/x.7z\nAccess is denied.\n") << denied;
    QTest::newRow("own error") << judged(2, "ERROR: Is not archive\n") << "Failed: 7-Zip: ERROR: Is not archive";

    const auto check = [](const char *written) {
        return contents("d/|d/a=3|d/l>").differences(contents(written)).section(": ", 1);
    };
    QTest::newRow("check, followed link") << check("d/|d/a=3|d/l=3") << "changed d/l";
    QTest::newRow("check, not chosen") << check("d/|d/a=3|d/l>|d/x=1") << "not chosen d/x";
    QTest::newRow("check, size differs") << check("d/|d/a=4|d/l>") << "changed d/a";

    // Deflate must save 3 % of a sample: about 4 % of it text is just over the bar, 1.5 % under.
    const auto trial = [](const QByteArray &sample) {
        return Compressibility::savesEnough(sample) ? "deflate" : "store";
    };
    QTest::newRow("trial, mostly noise") << trial(text(3 << 10) + noise(61 << 10)) << "deflate";
    QTest::newRow("trial, more noise") << trial(text(1 << 10) + noise(63 << 10)) << "store";
#ifndef Q_OS_WIN
    // A file swapped for a pipe after it was measured is never opened: no writer finds a reader.
    const auto swapped = [] {
        QTemporaryDir dir;
        const QByteArray pipe = QFile::encodeName(dir.filePath("p"));
        std::atomic_bool trying{::mkfifo(pipe.constData(), 0600) == 0}, met{false};
        std::thread writer([&] {
            for (int fd = -1; trying && !met; ::usleep(1000))
                met = (fd = ::open(pipe.constData(), O_WRONLY | O_NONBLOCK)) >= 0 && ::close(fd) == 0;
        });
        Compressibility::worthDeflating(dir.filePath("p"), 1 << 20);
        trying = false;
        writer.join();
        return met ? "opened" : "left alone";
    };
    QTest::newRow("trial, swapped for a pipe") << swapped() << "left alone";
#endif

    // Each run leaves out the other's files; a folder with no files still gets its run.
    const auto planned = [](const QMap<QString, QByteArray> &files) {
        QTemporaryDir dir;
        QDir().mkpath(dir.filePath("f"));
        for (auto it = files.cbegin(); it != files.cend(); ++it)
            writeFile(dir.filePath("f/" + it.key()), it.value());
        QStringList runs;
        for (const PackingPlan::Run &run : PackingPlan::make({dir.filePath("f")}).runs)
            runs << (run.stored ? "store -" : "deflate -") + run.excluded.join(',');
        return runs.join(" | ");
    };
    QTest::newRow("plan, empty folder") << planned({}) << "deflate -";
    QTest::newRow("plan, mixed folder") << planned({{"n", noise(200 << 10)}, {"t", text(200 << 10)}})
                                        << "deflate -f/n | store -f/t";
    // "Cancel" during the trials stops the plan after the file being tried.
    const auto stopped = [] {
        QTemporaryDir dir;
        int tried = 0;
        for (const char *name : {"a", "b", "c"})
            writeFile(dir.filePath(name), text(200 << 10));
        const PackingPlan plan =
            PackingPlan::make({dir.filePath("a"), dir.filePath("b"), dir.filePath("c")}, [&] { return ++tried < 2; });
        return QStringLiteral("%1 tried, stopped: %2").arg(tried).arg(plan.stopped);
    };
    QTest::newRow("plan, stopped") << stopped() << "2 tried, stopped: 1";

    QTest::newRow("progress, KB") << CompressionJob::progressText(2, (1 << 20) - 1) << "Packing 2 files, 1024 KB...";
    QTest::newRow("progress, MB") << CompressionJob::progressText(3, 150546368) << "Packing 3 files, 144 MB...";
    QStringList percents;
    for (const char *output : {" 40% 3 + 1000% sure.txt", "\b\b\b\b 7% 2 + a\b\b\b\b 9830828% 2 + l/zero",
                               "100% 2  : 0% : 0 MiB / 58 MiB : temporary archive moving", "Scanning 5 files"})
        percents << QString::number(ArchiverProcess::lastPercent(output));
    QTest::newRow("progress, percentages") << percents.join(' ') << "40 9830828 100 -1";
    QTest::newRow("progress, empty") << CompressionJob::progressText(100000, 0) << "Packing 100000 files...";
}

void TestCompression::decisionsFollowTheRules()
{
    QFETCH(QString, given);
    QFETCH(QString, expected);
    if (expected.contains(QRegularExpression("(^| )/")))
        POSIX_ONLY(); // Windows puts a drive before a path from the root
    QCOMPARE(given, expected);
}

void TestCompression::packsExactlyTheChosenEntries()
{
    POSIX_ONLY();
    // Traps: names that look like switches, wildcards or the success words, or end in a space that
    // a list file would lose; a chosen name that also exists below; links in a folder to a secret and
    // to its parent; a pipe that would block; chosen links to a file and to a folder, which pack
    // what they point to.
    for (const char *name : {"sub/a.txt", "b*.txt", "dir/x.txt", "-dash.txt", "@list.txt", "Everything is Ok.txt",
                             "other/z.txt", "résumé ü.txt", "notes ", "dir/漢字 😀.txt"})
        QVERIFY(writeFile(src + "/" + name));
    const QString marked = QChar(0xFEFF) + QString("mark.txt"); // the mark is part of the name
    QVERIFY(writeFile(src + "/" + marked));
    QVERIFY(writeFile(src + "/dir/inner/y.txt", QByteArray(10000, 'y')));
    QVERIFY(writeFile(temp->path() + "/secret", "the user's key\n"));
    QVERIFY(QFile::link(temp->path() + "/secret", src + "/dir/present.txt"));
    QVERIFY(QFile::link("..", src + "/dir/loop"));
    QVERIFY(QFile::link(temp->path() + "/secret", src + "/linked.txt"));
    QVERIFY(QFile::link(src + "/other", src + "/linkdir"));
    QVERIFY(FileFixture::makePipeAt(src + "/dir/pipe "));
    // The content decides between stored and deflated, not the name; the sample is taken from the
    // start and the middle; a small file is deflated untried.
    const QByteArray noisyHead = noise(128 << 10) + text(128 << 10);
    const QMap<QString, QByteArray> mixed{{"notes.txt", text(300 << 10)}, {"noise.txt", noise(300 << 10)},
                                          {"photo.jpg", text(300 << 10)}, {"sub/video.mp4", noise(600 << 10)},
                                          {"head.bin", noisyHead},        {"sub/small.bin", noise(100 << 10)}};
    for (auto it = mixed.cbegin(); it != mixed.cend(); ++it)
        QVERIFY(writeFile(src + "/mixed/" + it.key(), it.value()));
    QVERIFY(writeFile(out + "/archive.zip", "the only copy") && writeFile(out + "/report", "the only copy"));

    QStringList chosen;
    for (const char *name : {"-dash.txt", "@list.txt", "a.txt", "b*.txt", "dir", "Everything is Ok.txt", "linked.txt",
                             "linkdir", "résumé ü.txt", "mixed", "notes "})
        chosen << src + "/" + name;
    chosen << src + "/" + marked;
    // A name that is no UTF-8 cannot be checked in the archive; a pipe is not even opened.
    const QByteArray odd = QFile::encodeName(src + "/odd/caf") + "\xe9";
    QVERIFY(writeFile(src + "/odd/ok.txt") && POSIX_CALL(::mkfifo(odd.constData(), 0600) == 0));
    const QString unnamed = PackingPlan::make({src + "/odd"}).problem;
    QVERIFY(POSIX_CALL(::unlink(odd.constData()) == 0));
    QCOMPARE(unnamed, "These names cannot be packed: odd/caf\\xE9");
    const PackingPlan plan = PackingPlan::make(chosen);
    QCOMPARE(plan.storedFiles.count("mixed/noise.txt") + plan.storedFiles.count("mixed/sub/video.mp4"), 2);
    QCOMPARE(plan.storedFiles.size(), 2);
    // Long command lines pass their names in list files, which the stand-in notes: three runs (deflated,
    // stored, links followed) and what the first two leave out. The archive's name is one of theirs.
    qputenv("PARCELO_SCENARIO", "lists");
    PackingJob job;
    job.setProgram(temp->path() + "/util/7z.exe");
    job.setCommandLineLimit(100);
    QCOMPARE(job.run(out + "/excluded.txt", plan).cause, QString());
    QCOMPARE(snapshot(temp->path()).value("lists").count('\n'), 5);
    QCOMPARE(job.run(out + "/report.", PackingPlan::make({src + "/a.txt"})).cause, QString());
    QMap<QString, QByteArray> after = snapshot(out);
    QVERIFY(!after.take("excluded.txt").isEmpty() && !after.take("report.").isEmpty());
    QCOMPARE(after, (QMap<QString, QByteArray>{{"archive.zip", "the only copy"}, {"report", "the only copy"}}));

    const QString packed = out + "/excluded.txt";
    const ArchiveContents expected =
        contents("notes =5|-dash.txt=5|@list.txt=5|a.txt=5|b*.txt=5|Everything is Ok.txt=5|résumé "
                 "ü.txt=5|\xEF\xBB\xBFmark.txt=5|"
                 "dir/|dir/x.txt=5|dir/漢字 😀.txt=5|"
                 "dir/inner/|dir/inner/y.txt=10000|dir/present.txt>|dir/loop>|linked.txt=15|linkdir/|linkdir/z.txt=5|"
                 "mixed/|mixed/sub/|mixed/notes.txt=307200|mixed/noise.txt=307200|mixed/photo.jpg=307200|"
                 "mixed/sub/video.mp4=614400|mixed/head.bin=262144|mixed/sub/small.bin=102400");
    // 7-Zip's own listing agrees with the choice (the job checked the central directory itself).
    QCOMPARE(expected.differences(listed(packed)), QString());
    // 7-Zip stores by itself what it failed to shrink: only "Deflate" shows a choice.
    QStringList methods;
    for (const auto &entry : properties(packed))
        methods << entry.value("Path") + ": " + entry.value("Method").section(':', 0, 0);
    for (const char *name : {"mixed/notes.txt", "mixed/photo.jpg", "mixed/head.bin", "dir/inner/y.txt"})
        QVERIFY2(methods.contains(name + QString(": Deflate")), name);
}

void TestCompression::compressReportsAndLeavesOnlyTheArchive_data()
{
    QTest::addColumn<int>("row");
    for (const Press &row : presses)
        QTest::newRow(row.scenario) << int(&row - presses);
}

void TestCompression::compressReportsAndLeavesOnlyTheArchive()
{
    POSIX_ONLY(); // the stand-in archivers are shell scripts
    QFETCH(int, row);
    press(presses[row]);
}

// Checked from the message to what is left on disk; puts back what it changed, for the leak loop.
void TestCompression::press(const Press &row)
{
    const QString scenario = row.scenario;
    if (&row >= std::end(presses) - rootOnly && !FileFixture::isRoot())
        QSKIP("needs root, to run the archiver as another user or to mount a small disk");
    const bool success = QString(row.text) == done;
    const bool cancels = scenario == "cancel" || scenario == "escape";
    const bool packs = row.detail[0] != '\0' || cancels; // the banner moves on after each job
    const bool starts = packs && scenario != "no folder" && scenario != "unstartable" && scenario != "trap";
    const QString name = scenario.startsWith('-') || scenario.startsWith('@') ? scenario : "pack.7z";
    const QString documents = base.path() + "/home/Documents/compressed_files";
    archive = scenario == "no folder"     ? "/proc/parcelo-none/pack.7z"
              : scenario == "documents"   ? documents + "/" + name
              : scenario == "work folder" ? out + "/copies/" + name
                                          : out + "/" + name;
    QFile::remove(temp->path() + "/archiver-ran");
    qputenv("PARCELO_SCENARIO", row.scenario);
    auto *job = window->findChild<CompressionJob *>();
    job->setProgram(scenario == "unstartable" ? src + "/a.txt"
                    : scenario == "trap"      ? "util/7z.exe"
                                              : temp->path() + "/util/7z.exe");
    job->setSilenceLimit(scenario == "stall" ? 300 : scenario == "question" ? 1000 : PackingJob::defaultSilenceLimitMs);
    if (scenario == "full") {
        QCOMPARE(QProcess::execute("mount", {"-t", "tmpfs", "-o", "size=512k", "tmpfs", out}), 0);
        mounted = out;
        QVERIFY(writeFile(src + "/b.txt", noise(2 << 20)));
    }
    if (scenario != "empty") {
        for (const char *entry : {"a.txt", "b.txt", "folder"})
            panel->addFile(src + "/" + entry);
        window->setSaveDialog([this](QWidget *, const QString &) { return archive; });
        window->onBrowseDestinationFolderClicked();
    }
    if (scenario == "taken")
        QVERIFY(writeFile(archive, "mine"));
    if (scenario == "gone")
        QVERIFY(QFile::rename(src + "/b.txt", temp->path() + "/away.txt"));
    if (scenario == "another user") {
        // Nothing renamed now: the folder is not looked at after the success.
        QVERIFY(WorkFolder::remove() && QDir().mkpath(WorkFolder::sharedPath()));
        QCOMPARE(::chmod(QFile::encodeName(base.path() + "/tmp").constData(), 01777), 0);
        OtherProgram other(src + "/a.txt", "renamed.txt", "nobody");
        QVERIFY(other.result().startsWith("copied ") && other.finish("leave"));
        QVERIFY(FileFixture::giveToNobody(WorkFolder::sharedPath()));
    } else {
        QVERIFY(WorkFolder::ensure() && writeFile(WorkFolder::path() + "/leftover.txt"));
    }
    QVERIFY(scenario != "work folder" || QFile::link(WorkFolder::path(), out + "/copies"));
    QMap<QString, QByteArray> before = snapshot(out);
    const QByteArray existing = before.take(name);
    const qint32 banner = AdvData::shared()->getNextAdvIndex();

    // Nothing may stand under the archive's name while the job runs (its busy pointer is up), and
    // the window takes no gestures, also before the progress window shows (and makes it modal).
    bool early = false;
    QTimer watch;
    connect(&watch, &QTimer::timeout, this, [&] {
        early = early || (QApplication::overrideCursor() && QFileInfo::exists(archive));
        if (QApplication::overrideCursor() && !QApplication::activeModalWidget())
            clickThroughWindow(window->findChild<QPushButton *>("Browse_for_files"));
    });
    watch.start(5);
    const TestSupport::Answer cancel = [&](QWidget *modal) {
        auto *dialog = qobject_cast<QProgressDialog *>(modal);
        QTRY_VERIFY_WITH_TIMEOUT(dialog->value() > 0, 30000);
        const QString shown = QString::number(dialog->value()) + "% " + dialog->labelText();
        if (scenario == "cancel")
            clickThroughWindow(dialog->findChild<QPushButton *>());
        else
            QTest::keyClick(dialog->windowHandle(), Qt::Key_Escape);
        QVERIFY2(dialog->wasCanceled() || (emit dialog->canceled(), false),
                 "Cancel took no gesture"); // then ends the run
        QCOMPARE(shown, QString("40% Packing 3 files, 1 KB..."));
    };
    const auto enter = [](QWidget *box) { QTest::keyClick(box, Qt::Key_Return); };
    const TestSupport::Answer first = cancels ? cancel
                                      : scenario == "enter"
                                          ? TestSupport::Answer(enter)
                                          : TestSupport::pressButton(scenario == "open" ? "Open" : "OK");
    std::optional<ModalAnswer> further; // a box after the first would wait for an answer for ever
    ModalAnswer answer(
        [&](QWidget *modal) {
            first(modal);
            further.emplace();
        },
        cancels ? ModalAnswer::Progress : ModalAnswer::Question);
    window->onCompressClicked();
    watch.stop();
    QVERIFY2(!further || !further->seen(), qPrintable(further ? further->text() : QString()));
    QFile::rename(temp->path() + "/away.txt", src + "/b.txt");

    QCOMPARE(answer.text(), QString(row.text));
    QCOMPARE(answer.informativeText().left(int(qstrlen(row.detail))), QString(row.detail));
    QVERIFY2(!early || !existing.isEmpty() || scenario == "meanwhile", "the name was taken before success");
    QCOMPARE(AdvData::shared()->getNextAdvIndex(), banner + (packs ? 1 : 0));
    QCOMPARE(QFileInfo::exists(temp->path() + "/archiver-ran"), starts);
    QCOMPARE(std::exchange(opened, {}), scenario == "open" ? QList<QUrl>{QUrl::fromLocalFile(out)} : QList<QUrl>());
    QCOMPARE(panel->getFiles().size(), success || scenario == "empty" ? 0 : 3);
    QCOMPARE(QFileInfo::exists(WorkFolder::path()), !success);
    QCOMPARE(browsed, 0);
    QCOMPARE(QFileInfo::exists(documents), scenario == "documents");
    QMap<QString, QByteArray> after = snapshot(out);
    const QByteArray written = after.take(name);
    QCOMPARE(after, before);
    if (success)
        QCOMPARE(contents("a.txt=5|b.txt=5|folder/|folder/c.txt=5").differences(listed(archive)), QString());
    else
        QCOMPARE(written, scenario == "meanwhile" ? QByteArray("theirs\n") : existing);
    QDir(out).removeRecursively(); // a mount point stays
    QDir(documents).removeRecursively();
    QDir().mkpath(out);
    panel->removeAllFiles();
}

// The job against the names, destinations and changes a user's disk can bring: the outcome, and
// nothing of ours left in the destination. "%1" stands for the destination folder.
void TestCompression::jobHoldsAtTheEdges_data()
{
    QTest::addColumn<QString>("expected");
    QTest::newRow("more than 65,535 files") << "Succeeded: ";
    QTest::newRow("inside a chosen folder")
        << "Failed: The archive cannot be saved inside folder, which is being packed. Choose another folder for it.";
    QTest::newRow("name too long") << "Failed: The archive's name is too long: a name may have at most 255 bytes";
    QTest::newRow("unpassable") << "Failed: These names cannot be passed to 7-Zip: two\\nlines 0 xxx";
    QTest::newRow("grown") << "Failed: linkdir changed while it was packed: 7-Zip wrote more than was chosen";
    QTest::newRow("appeared") << "Failed: noisy changed while it was packed: 7-Zip wrote more than was chosen";
    QTest::newRow("removed") << "Failed: The folder %1 no longer exists";
    QTest::newRow("read-only") << "AccessDenied: Parcelo may not write in %1; its unfinished folder %2 could not be "
                                  "removed";
}

void TestCompression::jobHoldsAtTheEdges()
{
    QFETCH(QString, expected);
    const QString scenario = QTest::currentDataTag();
    POSIX_ONLY(); // links, stand-in archivers, mounts; 65,536 files take Wine too long
    QStringList chosen{src + "/a.txt", src + "/folder"};
    QString archivePath = out + "/pack.7z";
    PackingJob job;
    job.setProgram(temp->path() + "/util/7z.exe");
    qputenv("PARCELO_SCENARIO", scenario.toUtf8());
    if (scenario == "more than 65,535 files") {
        chosen = {src + "/many"};
        QVERIFY(QDir().mkpath(chosen[0]));
        for (int i = 0; i < 65600; ++i)
            QVERIFY(QFile(chosen[0] + "/" + QString::number(i)).open(QIODevice::WriteOnly));
    } else if (scenario == "inside a chosen folder") {
        archivePath = src + "/folder/sub/pack.7z";
        QVERIFY(QDir().mkpath(src + "/folder/sub"));
    } else if (scenario == "name too long") {
        archivePath = out + "/" + QString(253, 'n') + ".7z";
    } else if (scenario == "unpassable") {
        // Names that no list file can carry, too many for one command line.
        for (int i = 0; i < 170; ++i) {
            chosen << src + QStringLiteral("/two\nlines %1 ").arg(i) + QString(200, 'x');
            QVERIFY(writeFile(chosen.last()));
        }
    } else if (scenario == "grown") {
        QVERIFY(QFile::link(src + "/folder", src + "/linkdir"));
        chosen = {src + "/linkdir"};
    } else if (scenario == "appeared") {
        chosen = {src + "/noisy"};
        QVERIFY(writeFile(chosen[0] + "/n", noise(200 << 10)));
    } else if (scenario == "read-only") {
        if (!FileFixture::isRoot())
            QSKIP("needs root, to make the destination's disk read-only while the job runs");
        QCOMPARE(QProcess::execute("mount", {"-t", "tmpfs", "tmpfs", out}), 0);
        mounted = out;
    }
    const PackingPlan plan = PackingPlan::make(chosen);
    // Planted after the plan: a chosen linked folder now holds a link to an endless file; a folder
    // of stored files, 8 GB more that 7-Zip finds when it starts.
    if (scenario == "grown")
        QVERIFY(QFile::link("/dev/zero", src + "/folder/zero"));
    if (scenario == "appeared")
        QVERIFY(writeFile(src + "/noisy/big", "") && QFile::resize(src + "/noisy/big", qint64(8) << 30));
    const QMap<QString, QByteArray> before = snapshot(out);
    const PackingJob::Result result = job.run(archivePath, plan);
    const QStringList outcomes{"Succeeded", "AccessDenied", "Failed", "Cancelled", "Exists"};
    QMap<QString, QByteArray> after = snapshot(out);
    if (scenario == "read-only") {
        QCOMPARE(QProcess::execute("mount", {"-o", "remount,rw", out}), 0);
        QVERIFY(after.firstKey().startsWith(".parcelo-unfinished-"));
        expected = expected.arg(out, after.firstKey());
    }
    QCOMPARE((outcomes.at(int(result.outcome)) + ": " + result.cause).left(expected.arg(out).size()),
             expected.arg(out));
    if (result.outcome == PackingJob::Outcome::Succeeded)
        QVERIFY(!after.take("pack.7z").isEmpty());
    if (scenario != "read-only" && scenario != "removed")
        QCOMPARE(after, before);
}

void TestCompression::manyPressesLeaveNothingBehind()
{
    POSIX_ONLY();
    // No archiver process (see cleanup), descriptor or change to the user's files may outlast them.
    const auto descriptors = [] { return QDir("/proc/self/fd").entryList(QDir::Files | QDir::System).size(); };
    const QMap<QString, QByteArray> userFiles = snapshot(src);
    press(presses[3]); // the first run sets up what stays for good, as does the work folder's lock
    QVERIFY(WorkFolder::ensure());
    const qsizetype before = descriptors();
    for (int run = 0; run < 30 && !QTest::currentTestFailed(); ++run)
        press(presses[run * 5 % (int(std::size(presses)) - notLooped)]);           // every kind, mixed
    QVERIFY2(descriptors() <= before, qPrintable(QString::number(descriptors()))); // the toolkit may close some
    QCOMPARE(snapshot(src), userFiles);
}

// Every progress window takes its gestures through the window system alike; one that cannot be
// cancelled ignores them. The percentage reads over the fill and over the ground.
void TestCompression::progressWindowsShareOneManner_data()
{
    QTest::addColumn<QString>("gesture");
    QTest::addColumn<bool>("cancellable");
    for (const char *gesture : {"click", "Escape", "Space", "Return", "frame's close"}) {
        QTest::addRow("%s", gesture) << QString(gesture) << true;
        QTest::addRow("%s, not cancellable", gesture) << QString(gesture) << false;
    }
}

void TestCompression::progressWindowsShareOneManner()
{
    QFETCH(QString, gesture);
    QFETCH(bool, cancellable);
    ProgressDialog dialog("Packing...", cancellable, window);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    dialog.setValue(100);
    QVERIFY(inked(dialog.findChild<QProgressBar *>(), QColor(0xFC, 0xFC, 0xFC)) > 10); // over the fill
    dialog.setValue(0);
    QVERIFY(inked(dialog.findChild<QProgressBar *>(), QColor(0x52, 0x72, 0xBA)) > 10); // over the ground
    auto *cancel = dialog.findChild<QPushButton *>();
    QCOMPARE(cancel && cancel->isVisible(), cancellable);
    const QMap<QString, Qt::Key> keys{{"Escape", Qt::Key_Escape}, {"Space", Qt::Key_Space}, {"Return", Qt::Key_Return}};
    if (gesture == "click" && cancel)
        clickThroughWindow(cancel);
    else if (gesture == "frame's close")
        dialog.windowHandle()->close();
    else if (keys.contains(gesture))
        QTest::keyClick(dialog.windowHandle(), keys.value(gesture));
    QCOMPARE(dialog.wasCanceled(), cancellable);
    QCOMPARE(dialog.isVisible(), !cancellable);
}

// Removals run aside: the window goes on handling events and drops the gestures made meanwhile
// rather than replaying them; a lasting one shows a dialog that nothing but the removal's end closes.
void TestCompression::removalKeepsTheWindowAlive()
{
    TestSupport::ModalAnswer noBox;
    for (const int showAfter : {60000, 0}) {
        WorkProgress::setShowAfter(showAfter);
        QSemaphore handled;
        QTimer::singleShot(0, this, [&] {
            // With the list empty, a click on "Compress" would ask for files.
            clickThroughWindow(window->findChild<QPushButton *>("Compress"));
            auto *dialog = qobject_cast<QProgressDialog *>(QApplication::activeModalWidget());
            QCOMPARE(dialog != nullptr, showAfter == 0);
            if (dialog) {
                QTest::keyClick(dialog->windowHandle(), Qt::Key_Escape);
                dialog->windowHandle()->close();
                QVERIFY(dialog->isVisible() && !dialog->findChild<QPushButton *>());
            }
            handled.release();
        });
        // A removal that held the window would wait in vain.
        QVERIFY(WorkProgress::runAside(window, "Removing...", [&] { return handled.tryAcquire(1, 20000); }));
    }
    WorkProgress::setShowAfter(500);
    QTest::qWait(50);
    QVERIFY2(!noBox.seen(), qPrintable(noBox.text()));
    QCOMPARE(TestSupport::visibleTopLevels(), 1);
}

QTEST_MAIN(TestCompression)
#include "tst_compression.moc"
