// SPDX-License-Identifier: MIT
#include "archivetools.h"
#include "mainwindow/compressionjob.h"
#include "testsupport.h"

#include <QDir>
#include <QFileInfo>
#include <QProgressDialog>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

#include <unistd.h>

using ArchiveTools::entries;
using ArchiveTools::writeFile;
using ArchiveTools::writeStandIn;
using Outcome = CompressionJob::Outcome;

class TestCompressionJob : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void argumentsNameEveryFileAfterTheSwitches();
    void judgeReadsTheOutput_data();
    void judgeReadsTheOutput();
    void lastPercentOfProgress_data();
    void lastPercentOfProgress();

    void packsExactlyTheChosenEntries();
    void keepsUnicodeNames();
    void missingFileFailsAndLeavesNoArchive();
    void refusedWriteIsAccessDenied();
    void missingArchiverFails();
    void stalledArchiverIsStoppedAndCleanedUp();
    void workingArchiverIsNotCutOff();
    void successTextInOtherCaseFails();
    void cancelStopsTheArchiverAndCleansUp();

private:
    Outcome runStandIn(const QByteArray &body, int silenceLimitMs = 5000);
    QTemporaryDir *temp = nullptr;
    QWidget *window = nullptr;
    CompressionJob *job = nullptr;
    QString archive;
};

void TestCompressionJob::init()
{
    temp = new QTemporaryDir;
    QVERIFY(temp->isValid());
    window = new QWidget;
    job = new CompressionJob(window);
    job->setWorkingDirectory(QStringLiteral(PARCELO_BUILD_DIR));
    archive = temp->path() + "/out/pack.7z";
    QVERIFY(QDir().mkpath(temp->path() + "/out"));
}

void TestCompressionJob::cleanup()
{
    delete window;
    delete temp;
    QTRY_COMPARE(TestSupport::visibleTopLevels(), 0);
}

void TestCompressionJob::argumentsNameEveryFileAfterTheSwitches()
{
    QCOMPARE(
        CompressionJob::arguments("C:/docs/docs.7z", {"C:/a.txt", "C:/docs/b.pdf", "-r.txt"}),
        QStringList({"a", "-tzip", "-spd", "-bsp1", "--", "C:/docs/docs.7z", "C:/a.txt", "C:/docs/b.pdf", "-r.txt"}));
}

void TestCompressionJob::judgeReadsTheOutput_data()
{
    QTest::addColumn<QString>("output");
    QTest::addColumn<Outcome>("outcome");
    QTest::newRow("success") << "Creating archive\n\nEverything is Ok\n" << Outcome::Succeeded;
    QTest::newRow("other case") << "everything is ok" << Outcome::Failed;
    QTest::newRow("nothing") << "" << Outcome::Failed;
    QTest::newRow("warnings") << "WARNING: No such file\nWarnings: 1\n" << Outcome::Failed;
    QTest::newRow("windows refusal") << "ERROR: Access is denied." << Outcome::AccessDenied;
    QTest::newRow("posix refusal") << "ERROR: errno=13 : Permission denied\n/x/y.7z" << Outcome::AccessDenied;
    QTest::newRow("success wins") << "Permission denied\nEverything is Ok" << Outcome::Succeeded;
}

void TestCompressionJob::judgeReadsTheOutput()
{
    QFETCH(QString, output);
    QFETCH(Outcome, outcome);
    QCOMPARE(CompressionJob::judge(output), outcome);
}

void TestCompressionJob::lastPercentOfProgress_data()
{
    QTest::addColumn<QString>("output");
    QTest::addColumn<int>("percent");
    QTest::newRow("none") << "Scanning the drive:" << -1;
    QTest::newRow("one") << "  4% 2 + small.txt" << 4;
    QTest::newRow("backspaced") << " 10% 2 + a\b\b\b\b\b\b\b\b\b       \b\b\b 16% 2 + a" << 16;
    QTest::newRow("hundred") << "100%" << 100;
}

void TestCompressionJob::lastPercentOfProgress()
{
    QFETCH(QString, output);
    QFETCH(int, percent);
    QCOMPARE(CompressionJob::lastPercent(output), percent);
}

void TestCompressionJob::packsExactlyTheChosenEntries()
{
    // Traps: a chosen name that also exists in a subfolder, and names that look like wildcards.
    const QString src = temp->path() + "/src";
    for (const char *name : {"a.txt", "sub/a.txt", "b*.txt", "bb.txt", "b?.txt", "dir/x.txt", "dir/inner/y.txt",
                             "-dash.txt", "sub/dir/x.txt"})
        QVERIFY(writeFile(src + "/" + name));

    const QStringList chosen{src + "/-dash.txt", src + "/a.txt", src + "/b*.txt", src + "/dir"};
    const CompressionJob::Result result = job->run(archive, chosen, window);
    QCOMPARE(result.outcome, Outcome::Succeeded);
    QCOMPARE(entries(archive),
             QStringList({"-dash.txt", "a.txt", "b*.txt", "dir", "dir/inner", "dir/inner/y.txt", "dir/x.txt"}));
}

void TestCompressionJob::keepsUnicodeNames()
{
    const QStringList chosen{temp->path() + QString::fromUtf8("/résumé ü.txt"),
                             temp->path() + QString::fromUtf8("/日本語.txt")};
    for (const QString &path : chosen)
        QVERIFY(writeFile(path));
    const QByteArray savedLocale = qgetenv("LC_ALL");
    qputenv("LC_ALL", "C");
    const CompressionJob::Result result = job->run(archive, chosen, window);
    qputenv("LC_ALL", savedLocale);
    QCOMPARE(result.outcome, Outcome::Succeeded);
    QCOMPARE(entries(archive), QStringList({QString::fromUtf8("résumé ü.txt"), QString::fromUtf8("日本語.txt")}));
}

void TestCompressionJob::missingFileFailsAndLeavesNoArchive()
{
    QVERIFY(writeFile(temp->path() + "/here.txt"));
    const CompressionJob::Result result =
        job->run(archive, {temp->path() + "/gone.txt", temp->path() + "/here.txt"}, window);
    QCOMPARE(result.outcome, Outcome::Failed);
    QVERIFY2(!QFileInfo::exists(archive), "a partial archive was left behind");
}

void TestCompressionJob::refusedWriteIsAccessDenied()
{
    if (::geteuid() != 0)
        QSKIP("needs root, to run the archiver as another user");
    // As an unprivileged user, the real archiver meets a folder it may read but not write.
    QVERIFY(QFile::setPermissions(temp->path(), QFileDevice::Permissions(0x7755)));
    QVERIFY(writeFile(temp->path() + "/in.txt"));
    QVERIFY(QFile::setPermissions(temp->path() + "/in.txt", QFileDevice::Permissions(0x6444)));
    QVERIFY(QFile::setPermissions(temp->path() + "/out", QFileDevice::Permissions(0x7755)));
    QVERIFY(writeStandIn(temp->path(), "exec runuser -u nobody -- 7zz \"$@\""));
    job->setWorkingDirectory(temp->path());

    const CompressionJob::Result result = job->run(archive, {temp->path() + "/in.txt"}, window);
    QCOMPARE(result.outcome, Outcome::AccessDenied);
    QVERIFY(!QFileInfo::exists(archive));
}

void TestCompressionJob::missingArchiverFails()
{
    job->setWorkingDirectory(temp->path());
    QVERIFY(writeFile(temp->path() + "/in.txt"));
    QCOMPARE(job->run(archive, {temp->path() + "/in.txt"}, window).outcome, Outcome::Failed);
}

CompressionJob::Outcome TestCompressionJob::runStandIn(const QByteArray &body, int silenceLimitMs)
{
    if (!writeStandIn(temp->path(), body))
        return Outcome::Cancelled;
    job->setWorkingDirectory(temp->path());
    job->setSilenceLimit(silenceLimitMs);
    return job->run(archive, {temp->path() + "/in.txt"}, window).outcome;
}

void TestCompressionJob::stalledArchiverIsStoppedAndCleanedUp()
{
    const Outcome outcome = runStandIn("echo partial > \"$6\"\necho Scanning\nexec perl -e 'sleep 60' -- \"$6\"", 300);
    QCOMPARE(outcome, Outcome::Failed);
    QVERIFY2(!ArchiveTools::processRunning(archive), "the stalled archiver is still running");
    QVERIFY(!QFileInfo::exists(archive));
}

void TestCompressionJob::workingArchiverIsNotCutOff()
{
    int highest = -1;
    QTimer watch;
    connect(&watch, &QTimer::timeout, this, [&] {
        if (QProgressDialog *dialog = job->progressDialog())
            highest = std::max(highest, dialog->value());
    });
    watch.start(20);
    // Works for three times the silence limit, but never falls silent for long.
    const Outcome outcome = runStandIn("i=1\nwhile [ $i -le 20 ]; do echo \" $((i * 5))%\"; sleep 0.1; i=$((i + 1)); "
                                       "done\necho done > \"$6\"\necho 'Everything is Ok'",
                                       700);
    QCOMPARE(outcome, Outcome::Succeeded);
    QVERIFY(QFileInfo::exists(archive));
    QVERIFY2(highest >= 50, qPrintable(QString::number(highest)));
}

void TestCompressionJob::successTextInOtherCaseFails()
{
    QCOMPARE(runStandIn("echo done > \"$6\"\necho 'everything is ok'"), Outcome::Failed);
    QVERIFY(!QFileInfo::exists(archive));
}

void TestCompressionJob::cancelStopsTheArchiverAndCleansUp()
{
    TestSupport::ModalAnswer answer(TestSupport::pressButton("Cancel"), TestSupport::ModalAnswer::Progress);
    const Outcome outcome = runStandIn("echo partial > \"$6\"\nwhile true; do echo ' 5% 1 + in.txt'; sleep 0.1; done");
    QVERIFY(answer.seen());
    QCOMPARE(outcome, Outcome::Cancelled);
    QVERIFY(!ArchiveTools::processRunning(archive));
    QVERIFY(!QFileInfo::exists(archive));
}

QTEST_MAIN(TestCompressionJob)
#include "tst_compressionjob.moc"
