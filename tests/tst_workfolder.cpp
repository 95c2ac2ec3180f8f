// SPDX-License-Identifier: MIT
#include "filefixture.h"
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
    void endedRunsGoRunningOnesAndStrangersStay();
    void copyFileCopiesContentAndPermissions_data();
    void copyFileCopiesContentAndPermissions();
    void copyFileNeverReplacesAndLeavesNothingWhenItFails();

private:
    static QByteArray pattern(qint64 size);
    static bool write(const QString &path, const QByteArray &content);
    static QByteArray read(const QString &path);
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
    WorkFolder::release();
    qputenv("TMPDIR", savedTmpDir);
    delete temp;
    temp = nullptr;
}

void TestWorkFolder::isTheParceloFolderInTemp()
{
    QCOMPARE(WorkFolder::sharedPath(), temp->path() + "/parcelo");
    QVERIFY(WorkFolder::path().startsWith(temp->path() + "/parcelo/run-"));
    QCOMPARE(WorkFolder::path(), WorkFolder::path());
    QVERIFY(WorkFolder::isTrusted());
    QVERIFY(WorkFolder::remove());
    QCOMPARE(WorkFolder::untrustedMessage(),
             "The temporary folder " + temp->path() + "/parcelo belongs to someone else; it was not used");
}

void TestWorkFolder::ensureMakesAnOwnerOnlyFolder()
{
    QVERIFY(WorkFolder::ensure());
    for (const QString &folder : {WorkFolder::sharedPath(), WorkFolder::path()}) {
        struct stat status;
        QCOMPARE(::lstat(QFile::encodeName(folder).constData(), &status), 0);
        QVERIFY(S_ISDIR(status.st_mode));
        QCOMPARE(status.st_mode & 0777, mode_t(0700));
    }
    QVERIFY(WorkFolder::ensure());
    // Held with a lock beside it while the program runs.
    QVERIFY(QFileInfo(WorkFolder::path() + ".lock").isFile());
}

void TestWorkFolder::ensureTightensAnOlderFolderOfOurs()
{
    QVERIFY(QDir().mkpath(WorkFolder::sharedPath()));
    QVERIFY(::chmod(QFile::encodeName(WorkFolder::sharedPath()).constData(), 0777) == 0);
    QVERIFY(WorkFolder::ensure());
    QCOMPARE(QFileInfo(WorkFolder::sharedPath()).permissions() & QFile::ReadOther, QFile::Permissions());
}

void TestWorkFolder::linkIsNeitherUsedNorRemoved()
{
    const QString elsewhere = temp->path() + "/elsewhere";
    QVERIFY(QDir().mkpath(elsewhere));
    QFile precious(elsewhere + "/precious.txt");
    QVERIFY(precious.open(QIODevice::WriteOnly));
    precious.close();
    QVERIFY(QFile::link(elsewhere, WorkFolder::sharedPath()));

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
    QVERIFY(QDir().mkpath(WorkFolder::sharedPath() + "/theirs"));
    QCOMPARE(::chown(QFile::encodeName(WorkFolder::sharedPath()).constData(), 65534, 65534), 0);
    QVERIFY(!WorkFolder::isTrusted());
    QVERIFY(!WorkFolder::ensure());
    QVERIFY(!WorkFolder::remove());
    QVERIFY(QFileInfo::exists(WorkFolder::sharedPath() + "/theirs"));
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
    // The next copy gets the folder back.
    QVERIFY(WorkFolder::ensure());
    QVERIFY(QFileInfo(WorkFolder::path()).isDir());
}

// Folders below the shared one go only when their lock shows that their program has ended.
void TestWorkFolder::endedRunsGoRunningOnesAndStrangersStay()
{
    QVERIFY(write(temp->path() + "/a.txt", "a"));
    OtherProgram running(temp->path() + "/a.txt", "a.txt");
    OtherProgram ended(temp->path() + "/a.txt", "a.txt");
    const QString runningCopy = running.result().remove("copied ");
    const QString endedCopy = ended.result().remove("copied ");
    ended.crash();
    QVERIFY(QFileInfo::exists(runningCopy) && QFileInfo::exists(endedCopy));
    const QString endedFolder = QFileInfo(endedCopy).absolutePath();
    QVERIFY(QFileInfo::exists(endedFolder + ".lock"));
    // A folder without a lock may be one that another program is just making.
    QVERIFY(QDir().mkpath(WorkFolder::sharedPath() + "/run-unlocked"));
    QVERIFY(write(WorkFolder::sharedPath() + "/notes.txt", "theirs"));

    QVERIFY(WorkFolder::ensure());
    QVERIFY(!QFileInfo::exists(endedFolder));
    QVERIFY(!QFileInfo::exists(endedFolder + ".lock"));
    QCOMPARE(read(runningCopy), QByteArray("a"));
    QVERIFY(QFileInfo(WorkFolder::sharedPath() + "/run-unlocked").isDir());
    QCOMPARE(read(WorkFolder::sharedPath() + "/notes.txt"), QByteArray("theirs"));
    QVERIFY(running.finish("stay"));
}

// Content that a copy starting or ending at the wrong place could not match.
QByteArray TestWorkFolder::pattern(qint64 size)
{
    QByteArray content(size, Qt::Uninitialized);
    for (qint64 i = 0; i < size; ++i)
        content[i] = char((i * 7919) >> 3);
    return content;
}

bool TestWorkFolder::write(const QString &path, const QByteArray &content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

QByteArray TestWorkFolder::read(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

void TestWorkFolder::copyFileCopiesContentAndPermissions_data()
{
    QTest::addColumn<QString>("sourceFolder");
    QTest::addColumn<qint64>("size");
    QTest::newRow("empty") << QString() << qint64(0);
    QTest::newRow("several blocks") << QString() << qint64(3 * 1048576 + 17);
    // From another file system the kernel may refuse to copy, and blocks are copied instead.
    QTest::newRow("from shared memory") << QStringLiteral("/dev/shm") << qint64(3 * 1048576 + 17);
}

void TestWorkFolder::copyFileCopiesContentAndPermissions()
{
    QFETCH(QString, sourceFolder);
    QFETCH(qint64, size);
    QTemporaryDir other(sourceFolder.isEmpty() ? temp->path() + "/XXXXXX" : sourceFolder + "/parcelo-test-XXXXXX");
    if (!other.isValid())
        QSKIP("no writable /dev/shm here");
    const QString source = other.path() + "/source.bin";
    const QByteArray content = pattern(size);
    QVERIFY(write(source, content));
    QVERIFY(QFile::setPermissions(source, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup));

    QVERIFY(WorkFolder::ensure());
    const QString target = WorkFolder::path() + "/copy.bin";
    QVERIFY(WorkFolder::copyFile(source, target));
    QVERIFY(read(target) == content);
    QCOMPARE(QFileInfo(target).permissions() & 0x7777, QFileInfo(source).permissions() & 0x7777);
}

void TestWorkFolder::copyFileNeverReplacesAndLeavesNothingWhenItFails()
{
    QVERIFY(WorkFolder::ensure());
    const QString source = temp->path() + "/source.bin";
    QVERIFY(write(source, "new"));
    const QString existing = WorkFolder::path() + "/existing.bin";
    QVERIFY(write(existing, "old"));
    QVERIFY(!WorkFolder::copyFile(source, existing));
    QCOMPARE(read(existing), QByteArray("old"));

    // A link at the target is not followed: what it points to is not written.
    const QString pointedTo = temp->path() + "/pointed-to.bin";
    QVERIFY(QFile::link(pointedTo, WorkFolder::path() + "/link.bin"));
    QVERIFY(!WorkFolder::copyFile(source, WorkFolder::path() + "/link.bin"));
    QVERIFY(!QFileInfo::exists(pointedTo));

    for (const QString &unfit : {temp->path() + "/missing.bin", temp->path()}) {
        QVERIFY(!WorkFolder::copyFile(unfit, WorkFolder::path() + "/none.bin"));
        QVERIFY(!QFileInfo::exists(WorkFolder::path() + "/none.bin"));
    }
}

QTEST_MAIN(TestWorkFolder)
#include "tst_workfolder.moc"
