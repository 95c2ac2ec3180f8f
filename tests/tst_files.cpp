// SPDX-License-Identifier: MIT
#include "filefixture.h"
#include "files/entryrules.h"
#include "files/filewidget.h"
#include "files/workprogress.h"
#include "testsupport.h"

#include <QGridLayout>
#include <QMimeData>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include <memory>

namespace {
const qint64 MB = 1048576;
const QString tooMuch = QStringLiteral("You can't add more than 500 MB of files");
const QString notCopied = QStringLiteral("The file could not be copied under the new name");
const QString taken = QStringLiteral("The file with the name you provided exists");

// A listed tile by name; a tile that leaves is hidden at once and deleted later.
SingleFileWidget *tileNamed(FileWidget &panel, const QString &name)
{
    for (SingleFileWidget *tile : panel.findChildren<SingleFileWidget *>())
        if (!tile->isHidden() && tile->getName() == name)
            return tile;
    return nullptr;
}

QStringList namesInCells(FileWidget &panel)
{
    auto *grid = panel.findChild<QGridLayout *>();
    QStringList names;
    for (int cell = 0; QLayoutItem *item = grid->itemAtPosition(cell / 7, cell % 7); ++cell)
        names << qobject_cast<SingleFileWidget *>(item->widget())->getName();
    return names;
}

// Presses a tile's name, answering the rename dialog; a null name cancels, a missing tile is left to the checks.
void renameTo(FileWidget &panel, const QString &from, const QString &to)
{
    panel.setNameDialog([to](QWidget *, const QString &) { return to.isNull() ? std::nullopt : std::optional(to); });
    if (SingleFileWidget *tile = tileNamed(panel, from))
        tile->findChild<QPushButton *>()->click();
}

} // namespace

class TestFiles : public QObject
{
    Q_OBJECT
    std::unique_ptr<FileFixture> files;

private slots:
    void init() { files = std::make_unique<FileFixture>(); }
    void cleanup()
    {
        QTRY_COMPARE(TestSupport::visibleTopLevels(), 0);
        WorkProgress::setShowAfter(500);
        files.reset();
    }

    void tileTexts_data()
    {
        QTest::addColumn<qint64>("bytes");
        QTest::addColumn<QString>("size");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("shown");
        QTest::newRow("empty") << qint64(0) << "1KB" << QString("report.pdf") << "report.pdf";
        QTest::newRow("under 1 KB") << qint64(1000) << "1KB" << QString("quarterly_report.xlsx") << "quart....xlsx";
        QTest::newRow("1 KB") << qint64(1024) << "2KB" << QString("WWWWWWWWW") << "WWWWW...WWWWW";
        QTest::newRow("under 1023 KB") << qint64(1047551) << "1023KB" << QString() << QString();
        QTest::newRow("1023 KB") << qint64(1047552) << "1MB" << QString() << QString();
        QTest::newRow("fraction") << qint64(2000000) << "1.91MB" << QString() << QString();
        QTest::newRow("5 GB") << 5 * 1024 * MB << "5120MB" << QString() << QString();
    }
    void tileTexts()
    {
        QFETCH(qint64, bytes);
        QFETCH(QString, name);
        QTEST(SingleFileWidget::sizeText(float(bytes)), "size");
        QTEST(SingleFileWidget::shownName(name), "shown");
    }

    void portableFileNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("portable");
        const QStringList portable{"report.txt", ".a.tar.gz", "console.nul", "COM10.txt", "lpt0", "\u540d\u00e9"};
        QStringList refused{"",         ".",          "..",       "report.", "report ",  "a\tb",     "a\n",
                            "a\x7f",    "a<b",        "a>b",      "a:b",     "a|b",      "a?b",      "a*b",
                            "a/b",      "..\\x",      "a\"b",     "CON",     "con",      "Prn",      "aux",
                            "NUL .txt", "Nul.tar.gz", "com9.log", "LPT1",    "Lpt5.doc", "COM\u00b9"};
        refused << QString(256, 'x') << QString("a") + QChar(0);
        QTest::newRow("255 characters") << QString(255, 'x') << true;
        for (const QString &name : portable + refused)
            QTest::addRow("[%s]", qPrintable(name.left(12))) << name << portable.contains(name);
    }
    void portableFileNames()
    {
        QFETCH(QString, name);
        QTEST(EntryRules::isPortableFileName(name), "portable");
    }

    void drivesAreNoEntries()
    {
        for (const char *path : {"/", "//", "C:", "c:/", "D:/", "//nas/share", "//nas/share/"})
            QVERIFY2(!EntryRules::refusalOfRoot(path, "x").isEmpty(), path);
        for (const char *path : {"/home", "/a/", "C:/Data", "C:x", "//nas/share/x"})
            QVERIFY2(EntryRules::refusalOfRoot(path, "x").isEmpty(), path);
    }

    // Exactly 500 MB pass, also checked again; a folder far over is refused before it is walked whole.
    void limitOf500MB()
    {
        FileWidget panel;
        QSignalSpy exceeded(&panel, &FileWidget::sizeExceeded);
        const QString first = files->makeFile("first.bin", 300 * MB), third = files->makeFile("third.bin", 100 * MB);
        panel.addFiles({first, files->makeFile("second.bin", 300 * MB), third});
        QCOMPARE(panel.getFiles(), QStringList({first, third}));
        panel.removeAllFiles();
        panel.addFiles({files->makeFile("a.bin", 250 * MB - 1000), files->makeFile("b.bin", 250 * MB + 1000)});
        QCOMPARE(panel.getFiles().size(), 2);
        QCOMPARE(panel.checkEntriesAgain(), QString());
        panel.addFile(files->makeFile("c.bin", 1024));
        QCOMPARE(exceeded.count(), 2);

        panel.removeAllFiles();
        files->makeFile("huge/big.bin", 600 * MB);
        for (int i = 0; i < 300; ++i)
            files->makeFile(QStringLiteral("huge/sub/%1").arg(i), 0);
        // Progress shows as soon as a walk asks; one the limit stops first never asks.
        WorkProgress::setShowAfter(0);
        TestSupport::ProgressWatch cancel(true);
        panel.addFile(files->path("huge"));
        QCOMPARE(cancel.shown, 0);
        panel.addFile(files->path("huge/sub"));
        QCOMPARE(cancel.shown, 1);
        QVERIFY(exceeded.count() == 3 && panel.getFiles().isEmpty());
    }

    // The panel lists b/report.pdf first. Names count case aside, as Windows sees them.
    void entriesAreRefused_data()
    {
        const QString special("Only files and folders can be added: %1 is a pipe, a socket or a device");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("message");
        QTest::newRow("pipe") << "pipe" << special;
        QTest::newRow("device") << "/dev/zero" << special;
        QTest::newRow("link to a pipe") << "link" << special;
        QTest::newRow("root") << "/" << QString("%1 is a whole drive; add the files and folders on it instead");
        QTest::newRow("name in another case") << "a/Report.PDF" << taken;
    }
    void entriesAreRefused()
    {
        QFETCH(QString, entry);
        QFETCH(QString, message);
        QVERIFY(files->makePipe("pipe") && QFile::link(files->path("pipe"), files->path("link")));
        FileWidget panel;
        panel.addFile(files->makeFile("b/report.pdf", 10));
        files->makeFile("a/Report.PDF", 10);
        TestSupport::ModalAnswer answer;
        panel.addFile(files->path(entry));
        QCOMPARE(answer.text(), message.replace("%1", files->path(entry)));
        QCOMPARE(panel.getFiles(), QStringList{files->path("b/report.pdf")});
    }

    // A dropped web link is skipped and a folder's trailing slash does not leave it nameless.
    void dropTakesLocalEntriesOnly()
    {
        files->makeFile("photos/beach.jpg", 10);
        FileWidget panel;
        QMimeData mime;
        mime.setUrls({QUrl("https://example.com/a.pdf"), QUrl::fromLocalFile(files->path("photos") + "/")});
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&panel, &enter);
        QCoreApplication::sendEvent(&panel, &drop);
        QCOMPARE(panel.getFiles(), QStringList{files->path("photos")});
        QVERIFY(tileNamed(panel, "photos"));
    }

    void entriesAreCheckedAgain_data()
    {
        const QString replaced("%1 was replaced after it was added; remove it and add it again");
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("message");
        QTest::newRow("renamed link") << "rename l.txt" << QString();
        QTest::newRow("folder grown past the limit") << "grow f/new.bin" << tooMuch;
        QTest::newRow("file deleted") << "delete a.txt"
                                      << "a.txt was moved or deleted after it was added; remove it from the list";
        QTest::newRow("file now a link to a secret") << "link a.txt" << replaced.arg("a.txt");
        QTest::newRow("file now a pipe") << "pipe a.txt" << replaced.arg("a.txt");
    }
    // The answer for "Compress"; the list stays as it is.
    void entriesAreCheckedAgain()
    {
        QFETCH(QString, change);
        const QString action = change.section(' ', 0, 0), name = change.section(' ', 1);
        const QString secret = files->makeFile("secret.txt", 10, 's');
        files->makeFile("f/b.txt", 10);
        QVERIFY(QFile::link(secret, files->path("l.txt")));
        FileWidget panel;
        panel.addFiles({files->makeFile("a.txt", 10), files->path("f"), files->path("l.txt")});
        if (action == "rename")
            renameTo(panel, name, "m.txt");
        else if (action == "grow")
            files->makeFile(name, 501 * MB);
        else
            QVERIFY(QFile::remove(files->path(name)) || QDir(files->path(name)).removeRecursively());
        QVERIFY(action != "link" || QFile::link(secret, files->path(name)));
        QVERIFY(action != "pipe" || files->makePipe(name));
        const QStringList listed = panel.getFiles();
        TestSupport::ModalAnswer noBox;
        QTEST(panel.checkEntriesAgain(), "message");
        QVERIFY(!noBox.seen() && panel.getFiles() == listed);
    }

    // A removal only makes room: the others keep their order and measurements. A rebuild reads each again.
    void removalKeepsTheOthersAndRebuildReadsThemAgain()
    {
        FileWidget panel;
        const QString m = files->makeFile("m.txt", 10);
        files->makeFile("f/b.txt", 1 * MB);
        panel.addFiles({files->makeFile("z.txt", 1 * MB), files->makeFile("a.txt", 2 * MB), m, files->path("f")});
        renameTo(panel, "f", "g");
        files->makeFile("a.txt", 200 * MB);
        // Pressed on the tile itself, which goes while its own signal runs.
        QPointer<SingleFileWidget> pressed = tileNamed(panel, "m.txt");
        pressed->findChild<QToolButton *>()->click();
        QCOMPARE(namesInCells(panel), QStringList({"z.txt", "a.txt", "g"}));
        QCOMPARE(panel.getSize(), 4.0f);
        QVERIFY(QFile::exists(m));
        QTRY_VERIFY(!pressed);
        panel.updateFiles();
        QCOMPARE(panel.getSize(), 202.0f);
        // The copy now counts as one the tile did not make: the next rename leaves it.
        renameTo(panel, "g", "e");
        QCOMPARE(FileFixture::tree(WorkFolder::path()), QStringList({"e", "e/b.txt", "g", "g/b.txt"}));
        files->makeFile("a.txt", 501 * MB);
        panel.updateFiles();
        QCOMPARE(namesInCells(panel), QStringList({"z.txt", "e"}));
    }

    // Each running program copies into a locked owner-only folder of its own below a shared one. One
    // that ended left its copy; a folder without a lock may be one a program is just making.
    void renamesCopyAndLeaveEveryoneElsesFilesAlone()
    {
        OtherProgram running(files->makeFile("theirs/other.txt", 20, 't'), "final.pdf");
        OtherProgram ended(files->path("theirs/other.txt"), "final.pdf");
        const QString theirCopy = running.result().remove("copied ");
        const QString endedFolder = QFileInfo(ended.result().remove("copied ")).absolutePath();
        ended.crash();
        const QString shared = WorkFolder::sharedPath();
        QVERIFY(QFileInfo(endedFolder + ".lock").isFile() && QDir().mkpath(shared + "/run-unlocked"));
        // An older shared folder of ours, open to all, is made private again.
        QCOMPARE(::chmod(QFile::encodeName(shared).constData(), 0777), 0);

        // The user's entry links to another file system, where blocks are copied, not by the kernel.
        QByteArray content(3 * MB + 17, Qt::Uninitialized);
        for (qsizetype i = 0; i < content.size(); ++i)
            content[i] = char((i * 7919) >> 3);
        QTemporaryDir shm("/dev/shm/parcelo-test-XXXXXX");
        QFile real((shm.isValid() ? shm.path() : files->path(".")) + "/real.pdf");
        QVERIFY(real.open(QIODevice::WriteOnly) && real.write(content) == content.size() && real.flush());
        const QString other = files->makeFile("docs/other.txt", 10), user = files->path("docs/report.pdf");
        QVERIFY(QFile::link(real.fileName(), user));
        FileWidget panel;
        panel.addFiles({user, other});
        // A leftover under the first new name is replaced; a link there goes, not what it points to.
        QVERIFY(WorkFolder::ensure() && QFile::link(files->path("docs"), FileFixture::work("final.pdf")));
        TestSupport::ModalAnswer noBox;
        renameTo(panel, "report.pdf", "final.pdf");
        // An entry may change the case of its own name.
        renameTo(panel, "final.pdf", "FINAL.pdf");
        QVERIFY(!noBox.seen());
        QCOMPARE(panel.getFiles(), QStringList({other, FileFixture::work("FINAL.pdf")}));
        QCOMPARE(FileFixture::tree(WorkFolder::path()), QStringList{"FINAL.pdf"});
        QVERIFY(FileFixture::contents(FileFixture::work("FINAL.pdf")) == content);
        QVERIFY(QFileInfo(user).isSymLink() && FileFixture::contents(user) == content);
        QCOMPARE(FileFixture::contents(theirCopy), QByteArray(20, 't'));
        QVERIFY(!QFileInfo::exists(endedFolder) && QFileInfo(WorkFolder::path() + ".lock").isFile());
        for (const QString &folder : {shared, WorkFolder::path()})
            QCOMPARE(QFileInfo(folder).permissions(), QFile::Permissions(0x7700));

        // A success in either program removes its own copies only, and follows no link.
        QVERIFY(running.finish("remove"));
        QVERIFY(!QFileInfo::exists(theirCopy) && QFileInfo::exists(FileFixture::work("FINAL.pdf")));
        QVERIFY(QFile::link(files->path("theirs"), FileFixture::work("link")));
        QVERIFY(WorkFolder::remove());
        QVERIFY(!QFileInfo::exists(WorkFolder::path()) && QFileInfo::exists(files->path("theirs/other.txt")));
        QVERIFY(QFileInfo(shared + "/run-unlocked").isDir());
    }

    // "setup": a foreign place where the working folders go, or what became of a first rename's copy.
    void renameChangesNothing_data()
    {
        const QString invalid("The name you provided is not a valid file name, Please choose another name");
        const QString foreign("The temporary folder %1 belongs to someone else; it was not used");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("message");
        QTest::newRow("cancelled") << QString() << QString() << QString();
        QTest::newRow("unchanged") << "a.txt" << QString() << QString();
        QTest::newRow("listed name in another case") << "B.TXT" << QString() << taken + ", Please choose another name";
        QTest::newRow("up and out") << "../../x.txt" << QString() << invalid;
        // 200 characters pass the name rule, but their 400 bytes do not fit the file system's 255.
        QTest::newRow("too long for the file system") << QString(200, QChar(0xE9)) << QString() << notCopied;
        QTest::newRow("link") << "c.txt" << QString("link") << foreign;
        QTest::newRow("someone else's folder") << "c.txt" << QString("nobody") << foreign;
        QTest::newRow("source gone") << "c.txt" << QString("gone") << notCopied;
        // Opened for reading, the pipe would wait for a writer for ever.
        QTest::newRow("source now a pipe") << "c.txt" << QString("pipe") << notCopied;
        // On a file system that ignores case, the leftover under the new name may be the source.
        QTest::newRow("source is the leftover") << "c.txt" << QString("leftover") << notCopied;
    }
    void renameChangesNothing()
    {
        QFETCH(QString, name);
        QFETCH(QString, setup);
        QFETCH(QString, message);
        FileWidget panel;
        panel.addFiles({files->makeFile("x/a.txt", 10), files->makeFile("y/b.txt", 10)});
        const QString shared = WorkFolder::sharedPath(), first = FileFixture::work("first.txt");
        QVERIFY(setup == "link" || setup == "nobody" || WorkFolder::ensure());
        QVERIFY(QDir().mkpath(setup == "nobody" ? shared + "/theirs" : files->path("elsewhere")));
        QVERIFY(setup != "link" || QFile::link(files->path("elsewhere"), shared));
        QVERIFY(setup != "nobody" || ::chown(QFile::encodeName(shared).constData(), 65534, 65534) == 0);
        const QString current = QStringList{"gone", "pipe", "leftover"}.contains(setup) ? "first.txt" : "a.txt";
        if (current == "first.txt") {
            renameTo(panel, "a.txt", current);
            QVERIFY(QFile::remove(first));
        }
        QVERIFY(setup != "pipe" || files->makePipe(first));
        QVERIFY(setup != "leftover" || QFile::link(files->makeFile(FileFixture::work(name), 5), first));
        const QStringList listed = panel.getFiles(), before = FileFixture::tree(files->path("."));
        TestSupport::ModalAnswer answer;
        PipeGuard guard(first);
        renameTo(panel, current, name);
        QVERIFY(!guard.stop());
        QCOMPARE(answer.text(), message.replace("%1", shared));
        QVERIFY(panel.getFiles() == listed && tileNamed(panel, current));
        QCOMPARE(FileFixture::tree(files->path(".")), before);
    }

    // Links are neither counted nor followed but copied as links; pipes and sockets are never opened.
    void folderIsCountedAndCopiedWhole()
    {
        QVERIFY(files->makePipe("photos/trip/pipe") && files->makeSocket("photos/socket"));
        files->makeFile("photos/a.jpg", 1000, 'a');
        files->makeFile("photos/trip/deeper/b.jpg", 3 * MB);
        files->makeFile("photos/.hidden/c", 24, 'c');
        QVERIFY(QDir().mkpath(files->path("photos/empty")) && QFile::link("a.jpg", files->path("photos/link.jpg")));
        QVERIFY(QFile::link(files->makeFile("outside/big.bin", 900 * MB), files->path("photos/trip/big.bin")));
        QVERIFY(QFile::link(files->path("outside"), files->path("photos/linked-dir")));
        const QStringList original = FileFixture::tree(files->path("photos"));
        const QStringList copied = QStringList(original).filter(QRegularExpression("^(?!trip/pipe$|socket$)"));
        PipeGuard guard(files->path("photos/trip/pipe"));
        SingleFileWidget tile(files->path("photos"));
        QCOMPARE(tile.getSize(), float(3 * MB + 1024) / float(MB));
        TestSupport::ModalAnswer noBox;
        tile.setName("holiday");
        tile.makeFileCopy("holiday");
        QCOMPARE(QFile::symLinkTarget(FileFixture::work("holiday/link.jpg")), FileFixture::work("holiday/a.jpg"));
        tile.setName("summer");
        tile.makeFileCopy("summer");
        QVERIFY(!noBox.seen() && !guard.stop());
        QCOMPARE(QDir(WorkFolder::path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{"summer"});
        QCOMPARE(FileFixture::tree(FileFixture::work("summer")), copied);
        QCOMPARE(FileFixture::tree(files->path("photos")), original);
    }

    void folderCopyThatStopsLeavesNothing_data()
    {
        QTest::addColumn<QString>("how");
        // The working folder lies deeper than the original, so the copy's paths soon pass the limit.
        QTest::newRow("fails halfway") << "deep";
        // The copy asks after every 64 files, and the progress shows at its first question.
        QTest::newRow("cancelled") << "cancel";
        // As root every folder can be read, so another user copies there.
        QTest::newRow("unreadable part") << "unreadable";
    }
    void folderCopyThatStopsLeavesNothing()
    {
        QFETCH(QString, how);
        for (int i = 0; i < 200; ++i)
            files->makeFile(QStringLiteral("src/%1.txt").arg(i), 1);
        if (how == "deep") {
            const QString temp = files->path("t/" + (QString(200, 's') + '/').repeated(3));
            QVERIFY(QDir().mkpath(files->path("src/d/" + (QString(240, 'd') + '/').repeated(16))));
            QVERIFY(QDir().mkpath(temp));
            qputenv("TMPDIR", QFile::encodeName(temp));
        }
        if (how == "unreadable") {
            QVERIFY(QDir().mkpath(files->path("src/private")) && QFile::setPermissions(files->path("src/private"), {}));
            QVERIFY(::chmod(QFile::encodeName(files->path(".")).constData(), 0755) == 0);
            QVERIFY(::chmod(QFile::encodeName(files->path("tmp")).constData(), 01777) == 0);
            OtherProgram other(files->path("src"), "copy", ::geteuid() == 0 ? "nobody" : QString());
            QCOMPARE(other.result(), "refused " + notCopied);
            QVERIFY(other.finish("leave"));
        } else {
            SingleFileWidget tile(files->path("src"));
            WorkProgress::setShowAfter(how == "cancel" ? 0 : 500);
            TestSupport::ProgressWatch watch(how == "cancel");
            TestSupport::ModalAnswer answer;
            tile.setName("copy");
            tile.makeFileCopy("copy");
            QCOMPARE(answer.text(), how == "cancel" ? QString() : notCopied);
            QVERIFY(tile.getName() == "src" && (how != "cancel" || watch.shown == 1));
        }
        const QStringList left = FileFixture::tree(WorkFolder::sharedPath());
        QVERIFY2(left.filter("copy").isEmpty(), qPrintable(left.join(' ')));
    }
};

QTEST_MAIN(TestFiles)
#include "tst_files.moc"
