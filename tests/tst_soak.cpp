// SPDX-License-Identifier: MIT
#include "archivetools.h"
#include "files/filewidget.h"
#include "files/singlefilewidget.h"
#include "files/workfolder.h"
#include "mainwindow/compressionjob.h"
#include "mainwindow/mainwidget.h"
#include "testsupport.h"

#include <QCryptographicHash>
#include <QDir>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

using ArchiveTools::writeFile;
using TestSupport::ModalAnswer;

// Two hundred presses of "Compress" in a row with the real archiver, successes and failures mixed,
// must leave no process, no file descriptor, no partial archive and no change to the user's files.
class TestSoak : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void manyRunsLeaveNothingBehind();

private:
    enum class Kind { Success, MissingFile, ExistingPath, RefusedDestination, Stall };

    QString runOnce(Kind kind, int run);
    void addRandomFiles(QStringList *chosen);
    QMap<QString, QByteArray> checksums() const;
    static int openDescriptors() { return QDir("/proc/self/fd").entryList(QDir::Files | QDir::System).size(); }

    QTemporaryDir temp;
    QByteArray savedHome, savedTmp;
    MainWidget *window = nullptr;
    FileWidget *panel = nullptr;
    CompressionJob *job = nullptr;
    QStringList userFiles;
    QRandomGenerator random{20261207};
};

void TestSoak::initTestCase()
{
    savedHome = qgetenv("HOME");
    savedTmp = qgetenv("TMPDIR");
    qputenv("HOME", QFile::encodeName(temp.path() + "/home"));
    qputenv("TMPDIR", QFile::encodeName(temp.path() + "/tmp"));
    QVERIFY(QDir().mkpath(temp.path() + "/home/Documents"));
    QVERIFY(QDir().mkpath(temp.path() + "/tmp"));
    QVERIFY(QDir().mkpath(temp.path() + "/out"));
    for (int i = 0; i < 12; ++i) {
        const QString path = temp.path() + QStringLiteral("/user/set%1/file%2.txt").arg(i % 3).arg(i);
        QVERIFY(writeFile(path, QByteArray(100 + i * 997, char('a' + i))));
        userFiles << path;
    }
    QVERIFY(writeFile(temp.path() + "/user/folder/inner/deep.bin", QByteArray(5000, 'z')));
    userFiles << temp.path() + "/user/folder/inner/deep.bin";
    QVERIFY(ArchiveTools::writeStandIn(temp.path() + "/stall", "echo partial > \"$archive\"\necho Scanning\n"
                                                               "exec perl -e 'sleep 60' -- \"$archive\""));

    window = new MainWidget;
    panel = window->findChild<FileWidget *>();
    job = window->findChild<CompressionJob *>();
    panel->setNameDialog([this](QWidget *, const QString &current) -> std::optional<QString> {
        return QStringLiteral("r%1-%2").arg(random.bounded(1000)).arg(current);
    });
}

void TestSoak::cleanupTestCase()
{
    delete window;
    qputenv("HOME", savedHome);
    qputenv("TMPDIR", savedTmp);
}

QMap<QString, QByteArray> TestSoak::checksums() const
{
    QMap<QString, QByteArray> sums;
    for (const QString &path : userFiles) {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly))
            sums[path] = QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
    }
    return sums;
}

// Adds a random choice of the user's files and folders, renaming some entries.
void TestSoak::addRandomFiles(QStringList *chosen)
{
    QStringList pool = userFiles.filter(".txt");
    pool << temp.path() + "/user/folder";
    const int count = 1 + random.bounded(5);
    for (int i = 0; i < count; ++i) {
        const QString path = pool.takeAt(random.bounded(pool.size()));
        panel->addFile(path);
        chosen->append(path);
    }
    for (SingleFileWidget *tile : panel->findChildren<SingleFileWidget *>()) {
        if (random.bounded(3) == 0)
            emit tile->clickedForRename();
    }
}

QString TestSoak::runOnce(Kind kind, int run)
{
    QStringList chosen;
    addRandomFiles(&chosen);
    QString archive = temp.path() + QStringLiteral("/out/run%1.7z").arg(run);
    QString expected = QStringLiteral("Compression finished successfully!");
    QString moved;

    job->setProgram(QString(PARCELO_BUILD_DIR) + "/util/7z.exe");
    job->setSilenceLimit(PackingJob::defaultSilenceLimitMs);
    switch (kind) {
    case Kind::Success:
        break;
    case Kind::MissingFile:
        moved = panel->getFiles().first(); // a renamed entry is packed from its copy
        QFile::rename(moved, moved + ".away");
        expected = QFileInfo(moved).fileName() +
                   QStringLiteral(" was moved or deleted after it was added; remove it from the list");
        break;
    case Kind::ExistingPath:
        writeFile(archive, "already here");
        expected = QStringLiteral("File with this name already exists");
        break;
    case Kind::RefusedDestination:
        archive = QStringLiteral("/proc/parcelo-soak/run%1.7z").arg(run);
        expected = QStringLiteral("Compression failed!");
        break;
    case Kind::Stall:
        job->setProgram(QString(temp.path() + "/stall") + "/util/7z.exe");
        job->setSilenceLimit(150);
        expected = QStringLiteral("Compression failed!");
        break;
    }
    window->setSaveDialog([archive](QWidget *, const QString &) { return archive; });
    window->onBrowseDestinationFolderClicked();

    ModalAnswer answer;
    window->onCompressClicked();
    if (!moved.isEmpty())
        QFile::rename(moved + ".away", moved);

    if (answer.text() != expected)
        return QStringLiteral("run %1: \"%2\" instead of \"%3\"").arg(run).arg(answer.text(), expected);
    if (kind == Kind::ExistingPath) {
        QFile::remove(archive);
    } else if (kind != Kind::Success && QFileInfo::exists(archive)) {
        return QStringLiteral("run %1: a partial archive was left at %2").arg(run).arg(archive);
    } else if (kind == Kind::Success && !panel->getFiles().isEmpty()) {
        return QStringLiteral("run %1: the list was not emptied").arg(run);
    }
    if (kind != Kind::Success)
        panel->removeAllFiles();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return QString();
}

void TestSoak::manyRunsLeaveNothingBehind()
{
    const QMap<QString, QByteArray> before = checksums();
    QCOMPARE(before.size(), userFiles.size());
    QCOMPARE(runOnce(Kind::Success, 0), QString()); // the first run sets up what stays for good
    QVERIFY(WorkFolder::ensure());                  // as does the lock of the program's own folder
    const int descriptors = openDescriptors();

    const Kind kinds[] = {Kind::Success,     Kind::Success,      Kind::Success,
                          Kind::MissingFile, Kind::ExistingPath, Kind::RefusedDestination,
                          Kind::Stall};
    for (int run = 1; run < 200; ++run) {
        const Kind kind = run == 199 ? Kind::Success : kinds[random.bounded(int(std::size(kinds)))];
        const QString problem = runOnce(kind, run);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
    }

    QVERIFY2(!ArchiveTools::processRunning(temp.path()), "an archiver process outlived its run");
    // Some descriptors of the toolkit's own may close on the way; none of ours may stay open.
    QVERIFY2(openDescriptors() <= descriptors, qPrintable(QString::number(openDescriptors())));
    QVERIFY(!QFileInfo::exists(WorkFolder::path()));
    QCOMPARE(checksums(), before);
}

QTEST_MAIN(TestSoak)
#include "tst_soak.moc"
