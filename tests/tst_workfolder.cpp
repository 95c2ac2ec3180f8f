// SPDX-License-Identifier: MIT
#include "files/workfolder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

// Each test points the system temporary directory at a fresh folder of its own.
class TestWorkFolder : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void isTheParceloFolderInTemp();
    void ensureMakesAnOwnerOnlyFolder();
    void ensureTightensAnOlderFolderOfOurs();
    void linkIsNeitherUsedNorRemoved();
    void someoneElsesFolderIsNeitherUsedNorRemoved();
    void removeTakesContentsButFollowsNoLinks();

private:
    QTemporaryDir *temp = nullptr;
    QByteArray savedTmpDir;
};

void TestWorkFolder::init()
{
    savedTmpDir = qgetenv("TMPDIR");
    temp = new QTemporaryDir;
    QVERIFY(temp->isValid());
    qputenv("TMPDIR", QFile::encodeName(temp->path()));
}

void TestWorkFolder::cleanup()
{
    qputenv("TMPDIR", savedTmpDir);
    delete temp;
    temp = nullptr;
}

void TestWorkFolder::isTheParceloFolderInTemp()
{
    QCOMPARE(WorkFolder::path(), temp->path() + "/parcelo");
    QVERIFY(WorkFolder::isTrusted());
    QVERIFY(WorkFolder::remove());
    QCOMPARE(WorkFolder::untrustedMessage(),
             "The temporary folder " + temp->path() + "/parcelo belongs to someone else; it was not used");
}

void TestWorkFolder::ensureMakesAnOwnerOnlyFolder()
{
    QVERIFY(WorkFolder::ensure());
    struct stat status;
    QCOMPARE(::lstat(QFile::encodeName(WorkFolder::path()).constData(), &status), 0);
    QVERIFY(S_ISDIR(status.st_mode));
    QCOMPARE(status.st_mode & 0777, mode_t(0700));
    QVERIFY(WorkFolder::ensure());
}

void TestWorkFolder::ensureTightensAnOlderFolderOfOurs()
{
    QVERIFY(QDir().mkpath(WorkFolder::path()));
    QVERIFY(::chmod(QFile::encodeName(WorkFolder::path()).constData(), 0777) == 0);
    QVERIFY(WorkFolder::ensure());
    QCOMPARE(QFileInfo(WorkFolder::path()).permissions() & QFile::ReadOther, QFile::Permissions());
}

void TestWorkFolder::linkIsNeitherUsedNorRemoved()
{
    const QString elsewhere = temp->path() + "/elsewhere";
    QVERIFY(QDir().mkpath(elsewhere));
    QFile precious(elsewhere + "/precious.txt");
    QVERIFY(precious.open(QIODevice::WriteOnly));
    precious.close();
    QVERIFY(QFile::link(elsewhere, WorkFolder::path()));

    QVERIFY(!WorkFolder::isTrusted());
    QVERIFY(!WorkFolder::ensure());
    QVERIFY(!WorkFolder::remove());
    QVERIFY(QFile::exists(elsewhere + "/precious.txt"));

    // A dangling link is no better: something could be placed at its end.
    QVERIFY(QDir(elsewhere).removeRecursively());
    QVERIFY(!WorkFolder::isTrusted());
    QVERIFY(!WorkFolder::ensure());
}

void TestWorkFolder::someoneElsesFolderIsNeitherUsedNorRemoved()
{
    if (::geteuid() != 0)
        QSKIP("only root can give a folder to another user");
    QVERIFY(QDir().mkpath(WorkFolder::path() + "/theirs"));
    QCOMPARE(::chown(QFile::encodeName(WorkFolder::path()).constData(), 65534, 65534), 0);
    QVERIFY(!WorkFolder::isTrusted());
    QVERIFY(!WorkFolder::ensure());
    QVERIFY(!WorkFolder::remove());
    QVERIFY(QFileInfo::exists(WorkFolder::path() + "/theirs"));
}

void TestWorkFolder::removeTakesContentsButFollowsNoLinks()
{
    const QString outside = temp->path() + "/outside";
    QVERIFY(QDir().mkpath(outside));
    QFile keep(outside + "/keep.txt");
    QVERIFY(keep.open(QIODevice::WriteOnly));
    keep.close();

    QVERIFY(WorkFolder::ensure());
    QVERIFY(QDir().mkpath(WorkFolder::path() + "/copied folder"));
    QFile copy(WorkFolder::path() + "/copied folder/a.txt");
    QVERIFY(copy.open(QIODevice::WriteOnly));
    copy.close();
    QVERIFY(QFile::link(outside, WorkFolder::path() + "/link"));

    QVERIFY(WorkFolder::remove());
    QVERIFY(!QFileInfo::exists(WorkFolder::path()));
    QVERIFY(QFile::exists(outside + "/keep.txt"));
}

QTEST_MAIN(TestWorkFolder)
#include "tst_workfolder.moc"
