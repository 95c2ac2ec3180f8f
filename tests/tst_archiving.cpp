// SPDX-License-Identifier: MIT
#include "archivetools.h"
#include "archiving/archivecontents.h"
#include "archiving/archivedestination.h"
#include "archiving/archivercommand.h"
#include "archiving/archiverprocess.h"
#include "archiving/compressibility.h"
#include "archiving/packingjob.h"
#include "archiving/runverdict.h"
#include "archiving/zipdirectory.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <sys/stat.h>
#include <unistd.h>

using ArchiveTools::writeFile;
using ArchiveTools::writeStandIn;
using Outcome = PackingJob::Outcome;
using Verdict = RunVerdict::Outcome;

namespace {

QString realArchiver()
{
    return QStringLiteral(PARCELO_BUILD_DIR "/util/7z.exe");
}

QByteArray noise(qint64 size)
{
    QFile random("/dev/urandom");
    return random.open(QIODevice::ReadOnly) ? random.read(size) : QByteArray();
}

QByteArray text(qint64 size)
{
    QByteArray lines;
    for (int i = 0; lines.size() < size; ++i)
        lines += "line " + QByteArray::number(i) + " of a plain text that deflate shrinks\n";
    return lines.left(size);
}

QStringList folderEntries(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

bool run(const QString &program, const QStringList &arguments)
{
    return QProcess::execute(program, arguments) == 0;
}

} // namespace

// The packing job: its command lines, how it judges a run, how it proves the written archive,
// and real runs of 7-Zip (or a stand-in only where 7-Zip cannot fail on demand).
class TestArchiving : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void defaultDestinationHasARealName_data();
    void defaultDestinationHasARealName();
    void addCommandTakesNamesAsNames();
    void verdictJudgesTheRun_data();
    void verdictJudgesTheRun();
    void writtenArchiveIsComparedWithTheChoice_data();
    void writtenArchiveIsComparedWithTheChoice();
    void packsExactlyTheChosenEntries();
    void trialCompressionJudgesASample_data();
    void trialCompressionJudgesASample();
    void eachFileIsStoredOrDeflatedByItsContent();
    void failureNamesItsCauseAndLeavesNothing_data();
    void failureNamesItsCauseAndLeavesNothing();
    void archiveGetsExactlyItsName_data();
    void archiveGetsExactlyItsName();
    void nothingStandsUnderTheNameUntilSuccess();
    void longCommandLinesPassNamesInListFiles();
    void archiverIsStartedByItsAbsolutePath();

private:
    PackingJob::Result pack(const QStringList &chosen);

    QTemporaryDir *temp = nullptr;
    PackingJob *job = nullptr;
    QString src;
    QString out;
    QString archive;
    QString mounted;
};

void TestArchiving::init()
{
    temp = new QTemporaryDir;
    QVERIFY(temp->isValid());
    job = new PackingJob;
    job->setProgram(realArchiver());
    src = temp->path() + "/src";
    out = temp->path() + "/out";
    archive = out + "/pack.7z";
    QVERIFY(QDir().mkpath(src));
    QVERIFY(QDir().mkpath(out));
}

void TestArchiving::cleanup()
{
    QVERIFY2(!ArchiveTools::processRunning(temp->path()), "an archiver outlived its run");
    if (!mounted.isEmpty())
        run(QStringLiteral("umount"), {mounted});
    mounted.clear();
    delete job;
    delete temp;
}

PackingJob::Result TestArchiving::pack(const QStringList &chosen)
{
    return job->run(archive, PackingPlan::make(chosen));
}

void TestArchiving::defaultDestinationHasARealName_data()
{
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("destination");
    QTest::newRow("beside the first entry") << "/data/Photos/a.jpg"
                                            << "/data/Photos/Photos.7z";
    QTest::newRow("a folder entry") << "/data/Photos/trip"
                                    << "/data/Photos/Photos.7z";
    QTest::newRow("below the root") << "/etc"
                                    << "/home/u/Documents/compressed_files/etc.7z";
    QTest::newRow("a renamed copy") << "/tmp/parcelo/run/report.txt"
                                    << "/home/u/Documents/compressed_files/report.txt.7z";
    QTest::newRow("below a renamed copy") << "/tmp/parcelo/run/inner/x.txt"
                                          << "/tmp/parcelo/run/inner/inner.7z";
}

void TestArchiving::defaultDestinationHasARealName()
{
    QFETCH(QString, first);
    QFETCH(QString, destination);
    QCOMPARE(ArchiveDestination::defaultFor(first, "/home/u/Documents", "/tmp/parcelo/run"), destination);
}

void TestArchiving::addCommandTakesNamesAsNames()
{
    QCOMPARE(ArchiverCommand::add("/o/x.7z", {"/a/-r", "/a/@list"}, {"dir/pipe"}, true),
             QStringList({"a", "-tzip", "-spd", "-sae", "-y", "-bsp1", "-sccUTF-8", "-mcu=on", "-snl", "-x!dir/pipe",
                          "--", "/o/x.7z", "/a/-r", "/a/@list"}));
    QVERIFY(!ArchiverCommand::add("/o/x.7z", {"/a/link"}, {}, false).contains("-snl"));
}

void TestArchiving::verdictJudgesTheRun_data()
{
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("output");
    QTest::addColumn<Verdict>("outcome");
    QTest::addColumn<QString>("cause");
    const QString progress = " 50% 2 + Everything is Ok - holiday.bin\b\b\b\b\b\b     \b\b\b\b\b\b";
    QTest::newRow("success") << 0 << "Archive size: 161 bytes\nEverything is Ok\n" << Verdict::Succeeded << "";
    QTest::newRow("words only in progress") << 0 << progress + "\n" << Verdict::Failed << "exit code 0";
    QTest::newRow("words after progress") << 0 << progress + "Everything is Ok\r\n" << Verdict::Succeeded << "";
    QTest::newRow("other case") << 0 << "everything is ok\n" << Verdict::Failed << "exit code 0";
    QTest::newRow("words with status 2") << 2 << "Everything is Ok\n" << Verdict::Failed << "exit code 2";
    QTest::newRow("skipped files") << 1
                                   << "WARNINGS for files:\n\n/in/b.txt : errno=2 : No such file or directory\n"
                                      "/in/a : b.txt : errno=13 : Permission denied\n/in/c : errno=13 : Permission "
                                      "denied\n/in/d : errno=13 : x\n/in/e : errno=13 : x\nEverything is Ok\n"
                                   << Verdict::Failed
                                   << "These files could not be read: b.txt, a : b.txt, c and 2 more";
    QTest::newRow("full disk") << 2 << "System ERROR:\nerrno=28 : No space left on device\n"
                               << Verdict::Failed << "There is not enough free space in /out/.unfinished";
    QTest::newRow("archive refused")
        << 2 << "Error:\ncannot open file\n/out/.unfinished/x.7z\nerrno=13 : Permission denied\n"
        << Verdict::AccessDenied << "Parcelo may not write in /out/.unfinished";
    QTest::newRow("own error") << 2 << "Open ERROR: Cannot open the file as [zip] archive\nERROR: Is not archive\n"
                               << Verdict::Failed << "7-Zip: ERROR: Is not archive";
}

void TestArchiving::verdictJudgesTheRun()
{
    QFETCH(int, exitCode);
    QFETCH(QString, output);
    QFETCH(Verdict, outcome);
    QFETCH(QString, cause);
    RunVerdict::Run run;
    run.exitCode = exitCode;
    run.output = output;
    const RunVerdict verdict = RunVerdict::judge(run, "/out/.unfinished/x.7z", "/app/util/7z.exe", 30);
    QCOMPARE(verdict.outcome, outcome);
    if (cause.isEmpty())
        QCOMPARE(verdict.cause, QString());
    else
        QVERIFY2(verdict.cause.contains(cause), qPrintable(verdict.cause));
}

void TestArchiving::writtenArchiveIsComparedWithTheChoice_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<QString>("differences");
    QTest::newRow("exact") << ""
                           << "";
    QTest::newRow("missing") << "drop d/a.txt"
                             << "missing d/a.txt";
    QTest::newRow("wrong size") << "grow d/a.txt"
                                << "changed d/a.txt";
    QTest::newRow("followed link") << "follow d/l"
                                   << "changed d/l";
    QTest::newRow("not chosen") << "add d/x"
                                << "not chosen d/x";
}

void TestArchiving::writtenArchiveIsComparedWithTheChoice()
{
    QFETCH(QString, change);
    QFETCH(QString, differences);
    ArchiveContents expected;
    expected.addFolder("d");
    expected.addFile("d/a.txt", 3);
    expected.addLink("d/l");
    ArchiveContents written;
    written.addFolder("d");
    if (change != "drop d/a.txt")
        written.addFile("d/a.txt", change == "grow d/a.txt" ? 4 : 3);
    if (change == "follow d/l")
        written.addFile("d/l", 3);
    else
        written.addLink("d/l");
    if (change == "add d/x")
        written.addFile("d/x", 1);
    const QString found = expected.differences(written);
    if (differences.isEmpty())
        QCOMPARE(found, QString());
    else
        QVERIFY2(found.contains(differences), qPrintable(found));
}

void TestArchiving::packsExactlyTheChosenEntries()
{
    // Traps: names that look like switches, wildcards or the success words; a chosen name that
    // also exists below; links inside a folder to a secret and to its parent; a pipe that would
    // block; a chosen link to a file and one to a folder, which pack what they point to.
    for (const char *name : {"a.txt", "sub/a.txt", "b*.txt", "bb.txt", "dir/x.txt", "dir/inner/y.txt", "-dash.txt",
                             "@list.txt", "Everything is Ok.txt", "other/z.txt"})
        QVERIFY(writeFile(src + "/" + name));
    // Big enough to be deflated, so its packed size differs from its size.
    QVERIFY(writeFile(src + "/dir/inner/y.txt", QByteArray(10000, 'y')));
    const QString unicode = src + QString::fromUtf8("/résumé ü.txt");
    QVERIFY(writeFile(unicode, "unicode"));
    QVERIFY(writeFile(temp->path() + "/secret", "the user's key\n"));
    QVERIFY(QFile::link(temp->path() + "/secret", src + "/dir/present.txt"));
    QVERIFY(QFile::link("..", src + "/dir/loop"));
    QVERIFY(QFile::link(temp->path() + "/secret", src + "/other/key"));
    QVERIFY(QFile::link(temp->path() + "/secret", src + "/linked.txt"));
    QVERIFY(QFile::link(src + "/other", src + "/linkdir"));
    QCOMPARE(::mkfifo(QFile::encodeName(src + "/dir/pipe").constData(), 0600), 0);

    const QByteArray savedLocale = qgetenv("LC_ALL");
    qputenv("LC_ALL", "C");
    job->setSilenceLimit(10000);
    const PackingJob::Result result =
        pack({src + "/-dash.txt", src + "/@list.txt", src + "/a.txt", src + "/b*.txt", src + "/dir",
              src + "/Everything is Ok.txt", src + "/linked.txt", src + "/linkdir", unicode});
    qputenv("LC_ALL", savedLocale);
    QCOMPARE(result.cause, QString());
    QCOMPARE(result.outcome, Outcome::Succeeded);

    ArchiveContents expected;
    for (const char *name :
         {"-dash.txt", "@list.txt", "a.txt", "b*.txt", "Everything is Ok.txt", "dir/x.txt", "linkdir/z.txt"})
        expected.addFile(name, 5);
    expected.addFile("dir/inner/y.txt", 10000);
    expected.addFile(QString::fromUtf8("résumé ü.txt"), 7);
    expected.addFile("linked.txt", 15);
    for (const char *name : {"dir", "dir/inner", "linkdir"})
        expected.addFolder(name);
    expected.addLink("dir/present.txt");
    expected.addLink("dir/loop");
    // The archiver's own listing and the central directory that the job reads agree.
    QCOMPARE(expected.differences(ArchiveTools::listed(archive)), QString());
    ArchiveContents direct;
    QString error;
    QVERIFY(ZipDirectory::read(archive, &direct, &error));
    QCOMPARE(expected.differences(direct), QString());
}

void TestArchiving::trialCompressionJudgesASample_data()
{
    QTest::addColumn<QByteArray>("sample");
    QTest::addColumn<bool>("deflate");
    QTest::newRow("noise") << noise(64 * 1024) << false;
    QTest::newRow("text") << text(64 * 1024) << true;
    QTest::newRow("zeros") << QByteArray(64 * 1024, '\0') << true;
    // About 4 % of the sample compressible: just over the bar.
    QTest::newRow("noise with a text header") << text(3 * 1024) + noise(61 * 1024) << true;
    QTest::newRow("noise with a short header") << text(1024) + noise(63 * 1024) << false;
}

void TestArchiving::trialCompressionJudgesASample()
{
    QFETCH(QByteArray, sample);
    QFETCH(bool, deflate);
    QCOMPARE(Compressibility::savesEnough(sample), deflate);
}

void TestArchiving::eachFileIsStoredOrDeflatedByItsContent()
{
    // The content decides, not the name; a small file is deflated without a trial.
    const struct
    {
        const char *name;
        QByteArray content;
        const char *method;
    } files[] = {
        {"mixed/notes.txt", text(300 * 1024), "Deflate"},    {"mixed/noise.txt", noise(300 * 1024), "Store"},
        {"mixed/photo.jpg", text(300 * 1024), "Deflate"},    {"mixed/sub/video.mp4", noise(600 * 1024), "Store"},
        {"mixed/sub/small.txt", text(10 * 1024), "Deflate"}, {"song.mp3", noise(200 * 1024), "Store"},
        {"report.txt", text(200 * 1024), "Deflate"},
    };
    for (const auto &file : files)
        QVERIFY(writeFile(src + "/" + file.name, file.content));
    QVERIFY(QFile::link(src + "/song.mp3", src + "/linked.mp3"));
    const PackingPlan plan =
        PackingPlan::make({src + "/mixed", src + "/song.mp3", src + "/report.txt", src + "/linked.mp3"});
    // 7-Zip itself stores what it failed to shrink, so the plan shows what was never tried.
    QStringList stored = plan.storedFiles;
    stored.sort();
    QCOMPARE(stored, QStringList({"linked.mp3", "mixed/noise.txt", "mixed/sub/video.mp4", "song.mp3"}));
    QCOMPARE(job->run(archive, plan).outcome, Outcome::Succeeded);

    const QMap<QString, QString> methods = ArchiveTools::methods(archive);
    QVERIFY(ArchiveTools::extract(archive, temp->path() + "/unpacked"));
    for (const auto &file : files) {
        const QString name = QString(file.name);
        QCOMPARE(methods.value(name), QString(file.method));
        QFile unpacked(temp->path() + "/unpacked/" + name);
        QVERIFY(unpacked.open(QIODevice::ReadOnly));
        QVERIFY2(unpacked.readAll() == file.content, qPrintable(name));
    }
    QCOMPARE(methods.value("linked.mp3"), QString("Store"));
    QCOMPARE(methods.keys(),
             QStringList({"linked.mp3", "mixed", "mixed/noise.txt", "mixed/notes.txt", "mixed/photo.jpg", "mixed/sub",
                          "mixed/sub/small.txt", "mixed/sub/video.mp4", "report.txt", "song.mp3"}));
}

void TestArchiving::failureNamesItsCauseAndLeavesNothing_data()
{
    QTest::addColumn<QString>("scenario");
    QTest::addColumn<Outcome>("outcome");
    QTest::addColumn<QString>("cause");
    QTest::newRow("file gone after listing") << "gone" << Outcome::Failed << "could not be read: b.txt";
    QTest::newRow("unreadable file") << "unreadable" << Outcome::Failed << "could not be read: secret.bin";
    QTest::newRow("full disk") << "full" << Outcome::Failed << "There is not enough free space in";
    QTest::newRow("archiver missing") << "missing" << Outcome::Failed << "7-Zip was not found at";
    QTest::newRow("archiver not executable") << "unstartable" << Outcome::Failed << "7-Zip could not be started";
    QTest::newRow("archiver leaves a file out") << "lying" << Outcome::Failed << "missing b.txt";
    QTest::newRow("archiver writes no archive") << "junk" << Outcome::Failed << "could not be read back";
    QTest::newRow("success words, status 2") << "status2" << Outcome::Failed << "exit code 2";
    QTest::newRow("archiver stalls") << "stall" << Outcome::Failed << "stopped responding";
    QTest::newRow("archiver asks a question") << "question" << Outcome::Succeeded << "";
}

void TestArchiving::failureNamesItsCauseAndLeavesNothing()
{
    QFETCH(QString, scenario);
    QFETCH(Outcome, outcome);
    QFETCH(QString, cause);
    const bool root = ::geteuid() == 0;
    if ((scenario == "unreadable" || scenario == "full") && !root)
        QSKIP("needs root, to run the archiver as another user or to mount a small disk");

    QVERIFY(writeFile(src + "/Everything is Ok.txt"));
    QVERIFY(writeFile(src + "/b.txt"));
    QStringList chosen{src + "/Everything is Ok.txt", src + "/b.txt"};
    const QString standIn = temp->path() + "/util/7z.exe";
    if (scenario == "unreadable") {
        // The folders let another user through; only the chosen secret is the owner's alone.
        QVERIFY(writeFile(src + "/Everything is Ok - holiday.bin", QByteArray(1 << 20, 'h')));
        QVERIFY(writeFile(src + "/secret.bin", "mine"));
        QVERIFY(QFile::setPermissions(src + "/secret.bin", QFileDevice::ReadOwner | QFileDevice::WriteOwner));
        for (const QString &folder : {temp->path(), src})
            QVERIFY(QFile::setPermissions(folder, QFileDevice::Permissions(0x7755)));
        chosen = QStringList{src + "/Everything is Ok - holiday.bin", src + "/secret.bin"};
        QVERIFY(writeStandIn(temp->path(), "chmod 777 \"$(dirname \"$archive\")\"\n"
                                           "exec runuser -u nobody -- 7zz \"$@\""));
        job->setProgram(standIn);
    } else if (scenario == "full") {
        out = temp->path() + "/Everything is Ok";
        archive = out + "/holiday.7z";
        QVERIFY(QDir().mkpath(out));
        QVERIFY(run("mount", {"-t", "tmpfs", "-o", "size=512k", "tmpfs", out}));
        mounted = out;
        QFile random("/dev/urandom");
        QVERIFY(random.open(QIODevice::ReadOnly));
        QVERIFY(writeFile(src + "/b.txt", random.read(2 << 20)));
    } else if (scenario == "missing") {
        job->setProgram(temp->path() + "/nowhere/7z.exe");
    } else if (scenario == "unstartable") {
        QVERIFY(writeStandIn(temp->path(), "exec 7zz \"$@\""));
        QVERIFY(QFile::setPermissions(standIn, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
        job->setProgram(standIn);
    } else if (scenario == "lying") {
        QVERIFY(writeStandIn(temp->path(),
                             "if [ \"$1\" = a ]; then 7zz \"$@\" >/dev/null\n"
                             "7zz d -tzip -y -- \"$archive\" b.txt >/dev/null; echo 'Everything is Ok'; exit 0\n"
                             "fi\nexec 7zz \"$@\""));
        job->setProgram(standIn);
    } else if (scenario == "junk") {
        QVERIFY(writeStandIn(temp->path(), "echo 'Everything is Ok' | tee \"$archive\""));
        job->setProgram(standIn);
    } else if (scenario == "status2") {
        QVERIFY(writeStandIn(temp->path(), "7zz \"$@\"\necho 'Everything is Ok'\nexit 2"));
        job->setProgram(standIn);
    } else if (scenario == "stall") {
        QVERIFY(writeStandIn(temp->path(), "echo partial > \"$archive\"\necho Scanning\n"
                                           "exec perl -e 'sleep 60' -- \"$archive\""));
        job->setProgram(standIn);
        job->setSilenceLimit(300);
    } else if (scenario == "question") {
        // With an answer to wait for, the run would stall instead.
        QVERIFY(writeStandIn(temp->path(), "if [ \"$1\" = a ]; then read -r answer; fi\nexec 7zz \"$@\""));
        job->setProgram(standIn);
        job->setSilenceLimit(3000);
    }
    const QStringList before = folderEntries(out);
    const PackingPlan plan = PackingPlan::make(chosen);
    if (scenario == "gone")
        QVERIFY(QFile::remove(src + "/b.txt"));

    const PackingJob::Result result = job->run(archive, plan);
    QVERIFY2(result.cause.contains(cause), qPrintable(result.cause));
    QCOMPARE(result.outcome, outcome);
    QCOMPARE(folderEntries(out), outcome == Outcome::Succeeded ? before + QStringList{"pack.7z"} : before);
}

void TestArchiving::archiveGetsExactlyItsName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("neighbour");
    QTest::newRow("no extension, beside an archive of the same stem") << "archive"
                                                                      << "archive.zip";
    QTest::newRow("trailing dot") << "report."
                                  << "report";
    QTest::newRow("switch-like") << "-r.7z"
                                 << "";
    QTest::newRow("list-file-like") << "@list.7z"
                                    << "";
}

void TestArchiving::archiveGetsExactlyItsName()
{
    QFETCH(QString, name);
    QFETCH(QString, neighbour);
    QVERIFY(writeFile(src + "/taxes.pdf", "new"));
    if (!neighbour.isEmpty())
        QVERIFY(writeFile(out + "/" + neighbour, "the only copy"));
    archive = out + "/" + name;
    QCOMPARE(pack({src + "/taxes.pdf"}).outcome, Outcome::Succeeded);
    QStringList expected{name};
    if (!neighbour.isEmpty()) {
        expected << neighbour;
        QFile kept(out + "/" + neighbour);
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), QByteArray("the only copy"));
    }
    expected.sort();
    QCOMPARE(folderEntries(out), expected);
}

void TestArchiving::nothingStandsUnderTheNameUntilSuccess()
{
    QVERIFY(writeFile(src + "/a.txt"));
    QVERIFY(writeStandIn(temp->path(), "if [ \"$1\" = a ]; then i=0; while [ $i -lt 5 ]; do echo \" $((i * 20))%\";"
                                       " sleep 0.1; i=$((i + 1)); done; fi\nexec 7zz \"$@\""));
    job->setProgram(temp->path() + "/util/7z.exe");
    bool seenEarly = false;
    QTimer watch;
    connect(&watch, &QTimer::timeout, this, [&] { seenEarly = seenEarly || QFileInfo::exists(archive); });
    watch.start(5);
    QCOMPARE(pack({src + "/a.txt"}).outcome, Outcome::Succeeded);
    watch.stop();
    QVERIFY2(!seenEarly, "the archive's name was taken before the run succeeded");
    QCOMPARE(folderEntries(out), QStringList{"pack.7z"});

    // Something saved under the name meanwhile is never replaced.
    QVERIFY(QFile::remove(archive));
    QVERIFY(writeStandIn(temp->path(), "[ \"$1\" = a ] && echo theirs > \"$(dirname \"$(dirname \"$archive\")\")/"
                                       "$(basename \"$archive\")\"\nexec 7zz \"$@\""));
    QCOMPARE(pack({src + "/a.txt"}).outcome, Outcome::Exists);
    QFile theirs(archive);
    QVERIFY(theirs.open(QIODevice::ReadOnly));
    QCOMPARE(theirs.readAll(), QByteArray("theirs\n"));
    QCOMPARE(folderEntries(out), QStringList{"pack.7z"});
}

void TestArchiving::longCommandLinesPassNamesInListFiles()
{
    // 500 long names, some that look like switches or list files, and a pipe to leave out.
    ArchiveContents expected;
    QStringList chosen;
    const QString padding(100, QLatin1Char('n'));
    for (int i = 0; i < 500; ++i) {
        const QString name = QStringLiteral("%1%2-%3.txt")
                                 .arg(i % 3 == 0   ? "-"
                                      : i % 3 == 1 ? "@"
                                                   : "",
                                      padding)
                                 .arg(i);
        QVERIFY(writeFile(src + "/" + name));
        chosen << src + "/" + name;
        expected.addFile(name, 5);
    }
    QVERIFY(writeFile(src + "/folder/" + padding + ".txt"));
    QCOMPARE(::mkfifo(QFile::encodeName(src + "/folder/pipe").constData(), 0600), 0);
    chosen << src + "/folder";
    expected.addFolder("folder");
    expected.addFile("folder/" + padding + ".txt", 5);

    const QString marker = temp->path() + "/lists";
    QVERIFY(writeStandIn(temp->path(), "for a in \"$@\"; do case \"$a\" in @*|-x@*) echo \"$a\" >> '" +
                                           QFile::encodeName(marker) + "';; esac; done\nexec 7zz \"$@\""));
    job->setProgram(temp->path() + "/util/7z.exe");
    job->setCommandLineLimit(10000);
    job->setSilenceLimit(10000);
    QCOMPARE(pack(chosen).outcome, Outcome::Succeeded);
    QCOMPARE(expected.differences(ArchiveTools::listed(archive)), QString());
    QFile lists(marker);
    QVERIFY2(lists.open(QIODevice::ReadOnly), "no list file was used");
    QCOMPARE(lists.readAll().count('\n'), 2);
    QCOMPARE(folderEntries(out), QStringList{"pack.7z"});
}

void TestArchiving::archiverIsStartedByItsAbsolutePath()
{
    // A program of that name in the current folder must never be the one started.
    const QString marker = temp->path() + "/trap-ran";
    QVERIFY(writeStandIn(temp->path(), "touch '" + QFile::encodeName(marker) + "'\nexec 7zz \"$@\""));
    const QString saved = QDir::currentPath();
    QVERIFY(QDir::setCurrent(temp->path()));
    job->setProgram("util/7z.exe");
    QVERIFY(writeFile(src + "/a.txt"));
    const PackingJob::Result result = pack({src + "/a.txt"});
    QDir::setCurrent(saved);
    QCOMPARE(result.outcome, Outcome::Failed);
    QCOMPARE(result.cause, "7-Zip was not found at " + QCoreApplication::applicationDirPath() + "/util/7z.exe");
    QVERIFY(!QFileInfo::exists(marker));
}

QTEST_GUILESS_MAIN(TestArchiving)
#include "tst_archiving.moc"
