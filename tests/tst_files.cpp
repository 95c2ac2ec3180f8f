// SPDX-License-Identifier: MIT
#include "filefixture.h"
#include "files/entryrules.h"
#include "files/filewidget.h"
#include "files/workprogress.h"
#include "testsupport.h"

#include <QFontDatabase>
#include <QGridLayout>
#include <QMessageBox>
#include <QMimeData>
#include <QProcess>
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
const QString invalid = QStringLiteral("The name you provided is not a valid file name, Please choose another name");

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

// Presses a tile's name and answers the rename dialog with each of `answers` in turn, recording what
// it offered ("text|selected"), then cancels it; a missing tile is left to the checks.
QStringList renameTo(FileWidget &panel, const QString &from, const QStringList &answers)
{
    auto offered = std::make_shared<QStringList>();
    panel.setNameDialog([answers, offered](QWidget *, const QString &text, qsizetype selected) {
        *offered << text + '|' + QString::number(selected);
        return offered->size() <= answers.size() ? std::optional(answers.at(offered->size() - 1)) : std::nullopt;
    });
    if (SingleFileWidget *tile = tileNamed(panel, from))
        tile->findChild<QPushButton *>()->click();
    return *offered;
}

// Answers every message box while it lives, recording "text | informative" of each as a reader
// sees them.
struct BoxLog
{
    QStringList boxes;
    QTimer timer;
    BoxLog()
    {
        QObject::connect(&timer, &QTimer::timeout, [this] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                boxes << QString(box->text() + " | " + box->informativeText()).remove(QChar(0x200B));
                box->reject();
            }
        });
        timer.start(10);
    }
};

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

    void sizeTexts_data()
    {
        QTest::addColumn<qint64>("bytes");
        QTest::addColumn<QString>("size");
        QTest::newRow("empty") << qint64(0) << "1KB";
        QTest::newRow("1 KB") << qint64(1024) << "2KB";
        QTest::newRow("under 1023 KB") << qint64(1047551) << "1023KB";
        QTest::newRow("1023 KB") << qint64(1047552) << "1MB";
        QTest::newRow("fraction") << qint64(2000000) << "1.91MB";
        QTest::newRow("5 GB") << 5 * 1024 * MB << "5120MB";
    }
    void sizeTexts()
    {
        QFETCH(qint64, bytes);
        QTEST(SingleFileWidget::sizeText(float(bytes)), "size");
    }

    // In the tile's own font; every name fits the tile's 80 pixels. Right-to-left names come isolated.
    void shownNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("shown");
        QTest::newRow("fits") << QString("report.pdf") << "report.pdf";
        QTest::newRow("tail starts with a dot") << QString("quarterly_report.xlsx") << "quart...t.xlsx";
        QTest::newRow("head ends with a dot") << QString("abcd.efghijklmnopqrstu") << "abcd...qrstu";
        QTest::newRow("wide letters") << QString("WWWWWWWWW") << "WWW...WWWW";
        QTest::newRow("CJK") << QString("報告書_二〇二三年度_最終版.pdf") << "報告書_...版.pdf";
        QTest::newRow("emoji sequence") << QString("our_family_trip_👨‍👩‍👧.jpg")
                                        << "our_f...👨‍👩‍👧.jpg";
        QTest::newRow("Hebrew whole") << QString("שלום.txt") << "\u2067שלום.txt\u2069";
        QTest::newRow("Hebrew with marks") << QString("שָׁלוֹם_עוֹלָם_גָּדוֹל.doc") << "\u2067שָׁלוֹם_...ל.doc\u2069";
    }
    void shownNames()
    {
        QFETCH(QString, name);
        const QFontMetrics metrics(SingleFileWidget::nameFont());
        const QString shown = SingleFileWidget::shownName(name, metrics);
        QVERIFY2(metrics.horizontalAdvance(shown) <= 80, qPrintable(shown));
        if (QString(QTest::currentDataTag()) == "CJK" && QFontDatabase::families(QFontDatabase::Japanese).isEmpty())
            QSKIP("No font for Japanese: install fonts-noto-cjk");
        if (QFontInfo(SingleFileWidget::nameFont()).family() != "Noto Sans")
            QSKIP("The cuts are measured in Noto Sans, which this system lacks");
        QTEST(shown, "shown");
    }

    void stemLengths_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("folder");
        QTest::addColumn<int>("length");
        QTest::newRow("file") << "itinerary.pdf" << false << 9;
        QTest::newRow("two dots") << "a.b.c" << false << 3;
        QTest::newRow("tar") << "backup.tar.gz" << false << 6;
        QTest::newRow("only tar") << ".tar.gz" << false << 4;
        QTest::newRow("no dot") << "README" << false << 6;
        QTest::newRow("dot file") << ".bashrc" << false << 7;
        QTest::newRow("trailing dot") << "notes." << false << 6;
        QTest::newRow("folder") << "photos.2023" << true << 11;
    }
    void stemLengths()
    {
        QFETCH(QString, name);
        QFETCH(bool, folder);
        QTEST(int(EntryRules::stemLength(name, folder)), "length");
    }

    // Each refused name with the reason the user is given.
    void nameProblems_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("problem");
        for (const char *portable : {"report.txt", ".a.tar.gz", "console.nul", "COM10.txt", "lpt0", "\u540d\u00e9"})
            QTest::addRow("[%s]", portable) << QString(portable) << QString();
        QTest::newRow("255 characters") << QString(255, 'x') << QString();
        QTest::newRow("256 characters") << QString(256, 'x')
                                        << "A name can have at most 255 characters; this one has 256";
        QTest::newRow("empty") << QString("") << "A name cannot be empty";
        for (const char *dotted : {".", "..", "report."})
            QTest::addRow("[%s]", dotted) << QString(dotted) << "A name cannot end in a dot";
        QTest::newRow("space") << QString("report ") << "A name cannot end in a space";
        const QString control = "A name cannot hold control characters such as tabs or line breaks";
        for (const QString &name : {QString("a\tb"), QString("a\n"), QString("a\x7f"), QString("a") + QChar(0)})
            QTest::addRow("control %d", int(name.at(1).unicode())) << name << control;
        for (const char *name : {"a<b", "a>b", "a:b", "a|b", "a?b", "a*b", "a/b", "..\\x", "a\"b"}) {
            const QChar refused = QString(name).at(QString(name).indexOf(QRegularExpression("[^a.]")));
            QTest::addRow("[%s]", name) << QString(name) << QString("A name cannot hold \"%1\"").arg(refused);
        }
        for (const char *device :
             {"CON", "con", "Prn", "aux", "NUL .txt", "Nul.tar.gz", "com9.log", "LPT1", "Lpt5.doc", "COM\u00b9"}) {
            const QString stem = QString(device).section('.', 0, 0).trimmed();
            QTest::addRow("[%s]", device)
                << QString(device) << QString("\"%1\" is the name of a device on Windows").arg(stem);
        }
    }
    void nameProblems()
    {
        QFETCH(QString, name);
        QFETCH(QString, problem);
        QCOMPARE(EntryRules::nameProblem(name), problem);
        QCOMPARE(EntryRules::isPortableFileName(name), problem.isEmpty());
    }

    void drivesAreNoEntries()
    {
        for (const char *path : {"/", "//", "C:", "c:/", "D:/", "//nas/share", "//nas/share/"})
            QVERIFY2(!EntryRules::refusalOfRoot(path, "x").isEmpty(), path);
        for (const char *path : {"/home", "/a/", "C:/Data", "C:x", "//nas/share/x"})
            QVERIFY2(EntryRules::refusalOfRoot(path, "x").isEmpty(), path);
    }

    // Exactly 500 MB pass, also checked again, and ten bytes more do not; a folder far over is
    // refused before it is walked whole.
    void limitOf500MB()
    {
        FileWidget panel;
        QSignalSpy exceeded(&panel, &FileWidget::sizeExceeded);
        panel.addFiles({files->makeFile("a.bin", 250 * MB - 1000), files->makeFile("b.bin", 250 * MB + 1000)});
        QCOMPARE(panel.getFiles().size(), 2);
        QCOMPARE(panel.checkEntriesAgain(), QString());
        panel.addFile(files->makeFile("c.bin", 10));
        QCOMPARE(exceeded.count(), 1);

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
        QVERIFY(exceeded.count() == 2 && panel.getFiles().isEmpty());
    }

    // The whole window takes a drag that brings local files, and the list shows it while the drag is
    // over the window. A web link and a relative one are skipped, and a folder's trailing slash does
    // not leave it nameless.
    void dropsOnTheWindow()
    {
        files->makeFile("photos/beach.jpg", 10);
        files->makeFile("a.txt", 10);
        const QString started = QDir::currentPath();
        QDir::setCurrent(files->path("."));
        QWidget window;
        auto *panel = new FileWidget(&window);
        panel->takeDropsOn(&window);
        QMimeData web, mime;
        web.setUrls({QUrl("https://example.com/a.pdf")});
        mime.setUrls(
            {QUrl("https://example.com/a.pdf"), QUrl("file:a.txt"), QUrl::fromLocalFile(files->path("photos") + "/")});
        QDragEnterEvent webEnter(QPoint(5, 5), Qt::CopyAction, &web, Qt::LeftButton, Qt::NoModifier);
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QDragLeaveEvent leave;
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&window, &webEnter);
        QVERIFY(!webEnter.isAccepted() && !panel->isDropHighlighted());
        QCoreApplication::sendEvent(&window, &enter);
        QVERIFY(enter.isAccepted() && panel->isDropHighlighted());
        QCoreApplication::sendEvent(&window, &leave);
        QVERIFY(!panel->isDropHighlighted());
        QCoreApplication::sendEvent(&window, &enter);
        QCoreApplication::sendEvent(&window, &drop);
        QVERIFY(drop.isAccepted() && !panel->isDropHighlighted());
        // Taken once the drop is over.
        QVERIFY(panel->getFiles().isEmpty());
        QTRY_COMPARE(panel->getFiles(), QStringList{files->path("photos")});
        QVERIFY(tileNamed(*panel, "photos"));
        QDir::setCurrent(started);
    }

    // 45 listed photos, p00.jpg to p44.jpg, and a.bin of 300 MB. "%1" stands for the first offered
    // path. Names count case aside, as Windows sees them. The limit's message goes to the window.
    void refusalsShowOnce_data()
    {
        const QString special("Only files and folders can be added: %1 is a pipe, a socket or a device | ");
        QTest::addColumn<QStringList>("offered");
        QTest::addColumn<QString>("message");
        QStringList again;
        for (int i = 0; i < 45; ++i)
            again << QStringLiteral("again/p%1.jpg").arg(i, 2, 10, QChar('0'));
        QTest::newRow("45 listed") << again << taken + " | Already listed: p00.jpg, p01.jpg, p02.jpg and 42 more.";
        QTest::newRow("name in another case") << QStringList{"again/P07.JPG"} << taken + " | Already listed: P07.JPG.";
        QTest::newRow("device") << QStringList{"/dev/zero"} << special;
        QTest::newRow("link to a pipe") << QStringList{"link"} << special;
        QTest::newRow("name no UTF-8") << QStringList{"odd"}
                                       << "These names in %1 cannot be packed: sub/Fr\\xFChling | ";
        QTest::newRow("root") << QStringList{"/"} << "%1 is a whole drive; add the files and folders on it instead | ";
        QTest::newRow("over the limit") << QStringList{"b.bin", "c.bin", "d.bin"}
                                        << "window: " + tooMuch +
                                               " | Not added: c.bin (250 MB). 40 MB of the 500 MB are left.";
        QTest::newRow("mixed") << QStringList{"pipe", "again/p00.jpg", "c.bin", "pipe2", "again/p01.jpg"}
                               << special + "Also refused: pipe2.\nAlready listed: p00.jpg, p01.jpg.\nNot added: c.bin "
                                            "(250 MB). 200 MB of the 500 MB are left.";
    }
    void refusalsShowOnce()
    {
        POSIX_ONLY();
        QFETCH(QStringList, offered);
        QFETCH(QString, message);
        QVERIFY(files->makePipe("pipe") && files->makePipe("pipe2") &&
                QFile::link(files->path("pipe"), files->path("link")) &&
                files->makeRawFile("odd/sub/Fr\xfchling/i", 1));
        QStringList listed{files->makeFile("big/a.bin", 300 * MB)};
        for (int i = 0; i < 45; ++i)
            listed << files->makeFile(QStringLiteral("listed/p%1.jpg").arg(i, 2, 10, QChar('0')), 10);
        files->makeFile("b.bin", 150 * MB);
        files->makeFile("c.bin", 250 * MB);
        files->makeFile("d.bin", 10 * MB);
        FileWidget panel;
        panel.addFiles(listed);
        BoxLog log;
        QObject::connect(&panel, &FileWidget::sizeExceeded, [&log](const QString &text, const QString &informative) {
            log.boxes << "window: " + text + " | " + informative;
        });
        QStringList paths;
        for (const QString &relative : offered)
            paths << files->path(relative);
        panel.addFiles(paths);
        QCOMPARE(log.boxes, QStringList{message.replace("%1", paths.first())});
        QCOMPARE(panel.getFiles().size() - listed.size(), message.startsWith("window") ? 2 : 0);
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
        if (action == "link" || action == "pipe")
            POSIX_ONLY();
        const QString secret = files->makeFile("secret.txt", 10, 's');
        files->makeFile("f/b.txt", 10);
        QVERIFY(QFile::link(secret, files->path("l.txt")));
        FileWidget panel;
        panel.addFiles({files->makeFile("a.txt", 10), files->path("f"), files->path("l.txt")});
        if (action == "rename")
            renameTo(panel, name, {"m.txt"});
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

    // A renamed copy keeps the date of each file and folder in it, as the archive then shows. A
    // chosen link to a folder is copied as it is packed unrenamed: without the links inside.
    void renamedCopiesKeepTheirDates()
    {
        POSIX_ONLY();
        files->makeFile("Photos/sub/a.txt", 10);
        files->makeFile("Photos/b.txt", 10);
        files->makeFile("c.txt", 10);
        QVERIFY(QFile::link("b.txt", files->path("Photos/l.txt")) && QFile::link("Photos", files->path("Trip")));
        for (const char *entry : {"Photos/sub/a.txt", "Photos/b.txt", "c.txt", "Photos/sub", "Photos"})
            QCOMPARE(QProcess::execute("touch", {"-d", "2015-06-01 12:00", files->path(entry)}), 0);
        FileWidget panel;
        panel.addFiles({files->path("Photos"), files->path("c.txt"), files->path("Trip")});
        renameTo(panel, "Photos", {"Holiday"});
        renameTo(panel, "c.txt", {"d.txt"});
        renameTo(panel, "Trip", {"Away"});
        for (const char *copy : {"Holiday", "Holiday/sub", "Holiday/sub/a.txt", "Holiday/b.txt", "d.txt", "Away/sub"})
            QCOMPARE(QFileInfo(FileFixture::work(copy)).lastModified(), QDateTime(QDate(2015, 6, 1), QTime(12, 0)));
        QVERIFY(QFileInfo(FileFixture::work("Holiday/l.txt")).isSymLink());
        QCOMPARE(FileFixture::tree(FileFixture::work("Away")), QStringList({"b.txt", "sub", "sub/a.txt"}));
    }

    // A removal only makes room: the others keep their order and measurements. A rebuild reads each again.
    void removalKeepsTheOthersAndRebuildReadsThemAgain()
    {
        FileWidget panel;
        const QString m = files->makeFile("m.txt", 10);
        files->makeFile("f/b.txt", 1 * MB);
        panel.addFiles({files->makeFile("z.txt", 1 * MB), files->makeFile("a.txt", 2 * MB), m, files->path("f")});
        renameTo(panel, "f", {"g"});
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
        renameTo(panel, "g", {"e"});
        QCOMPARE(FileFixture::tree(WorkFolder::path()), QStringList({"e", "e/b.txt", "g", "g/b.txt"}));
        files->makeFile("a.txt", 501 * MB);
        panel.updateFiles();
        QCOMPARE(namesInCells(panel), QStringList({"z.txt", "e"}));
    }

    // A refused name comes back as typed, with the reason; the box selects the name without its extension.
    void refusedNameIsOfferedAgain()
    {
        FileWidget panel;
        panel.addFiles({files->makeFile("x/itinerary.pdf", 10), files->makeFile("y/b.txt", 10)});
        BoxLog log;
        const QStringList offered = renameTo(panel, "itinerary.pdf", {"q3:plan.pdf", "B.txt", "q3plan.pdf"});
        QCOMPARE(offered, QStringList({"itinerary.pdf|9", "q3:plan.pdf|7", "B.txt|1"}));
        QCOMPARE(log.boxes, QStringList({invalid + " | A name cannot hold \":\"",
                                         taken + ", Please choose another name | b.txt is in the list already."}));
        QVERIFY(tileNamed(panel, "q3plan.pdf"));
    }

    // Each running program copies into a locked owner-only folder of its own below a shared one. One
    // that ended left its copy; a folder without a lock may be one a program is just making. Another
    // user, whose home cannot be written, ran first and left a folder in the temporary directory.
    void renamesCopyAndLeaveEveryoneElsesFilesAlone()
    {
        POSIX_ONLY();
        files->makeFile("theirs/other.txt", 20, 't');
        if (FileFixture::isRoot()) {
            QVERIFY(::chmod(QFile::encodeName(files->path(".")).constData(), 0755) == 0);
            QVERIFY(::chmod(QFile::encodeName(files->path("tmp")).constData(), 01777) == 0);
            OtherProgram stranger(files->path("theirs/other.txt"), "final.pdf", "nobody");
            QVERIFY(stranger.result().startsWith("copied " + files->path("tmp/parcelo-")) && stranger.finish("leave"));
        }
        OtherProgram running(files->path("theirs/other.txt"), "final.pdf");
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
        renameTo(panel, "report.pdf", {"final.pdf"});
        // An entry may change the case of its own name.
        renameTo(panel, "final.pdf", {"FINAL.pdf"});
        QVERIFY(!noBox.seen());
        QCOMPARE(panel.getFiles(), QStringList({FileFixture::work("FINAL.pdf"), other}));
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
        // Where the working folders go is not the user's own, nor can a fresh one be made.
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
        if (QStringList{"link", "nobody", "pipe", "leftover"}.contains(setup))
            POSIX_ONLY();
        FileWidget panel;
        panel.addFiles({files->makeFile("x/a.txt", 10), files->makeFile("y/b.txt", 10)});
        const QString shared = WorkFolder::sharedPath(), first = FileFixture::work("first.txt");
        QVERIFY(setup == "link" || setup == "nobody" || WorkFolder::ensure());
        QVERIFY(QDir().mkpath(setup == "nobody" ? shared + "/theirs" : files->path("elsewhere")) &&
                QDir().mkpath(files->path("cache")));
        QVERIFY(setup != "link" || QFile::link(files->path("elsewhere"), shared));
        QVERIFY(setup != "nobody" || FileFixture::giveToNobody(shared));
        QVERIFY((setup != "link" && setup != "nobody") || qputenv("TMPDIR", QFile::encodeName(files->path("x/a.txt"))));
        const QString current = QStringList{"gone", "pipe", "leftover"}.contains(setup) ? "first.txt" : "a.txt";
        if (current == "first.txt") {
            renameTo(panel, "a.txt", {current});
            QVERIFY(QFile::remove(first));
        }
        QVERIFY(setup != "pipe" || files->makePipe(first));
        QVERIFY(setup != "leftover" || QFile::link(files->makeFile(FileFixture::work(name), 5), first));
        const QStringList listed = panel.getFiles(), before = FileFixture::tree(files->path("."));
        TestSupport::ModalAnswer answer;
        renameTo(panel, current, name.isNull() ? QStringList() : QStringList{name});
        QCOMPARE(answer.text(), message.replace("%1", shared));
        QVERIFY(panel.getFiles() == listed && tileNamed(panel, current));
        QCOMPARE(FileFixture::tree(files->path(".")), before);
    }

    // Links are neither counted nor followed but copied as links; a pipe is never opened.
    void folderIsCountedAndCopiedWhole()
    {
        POSIX_ONLY();
        QVERIFY(files->makePipe("photos/trip/pipe"));
        files->makeFile("photos/a.jpg", 1000, 'a');
        files->makeFile("photos/trip/deeper/b.jpg", 3 * MB);
        files->makeFile("photos/.hidden/c", 24, 'c');
        QVERIFY(QDir().mkpath(files->path("photos/empty")) && QFile::link("a.jpg", files->path("photos/link.jpg")));
        QVERIFY(QFile::link(files->makeFile("outside/big.bin", 900 * MB), files->path("photos/trip/big.bin")));
        QVERIFY(QFile::link(files->path("outside"), files->path("photos/linked-dir")));
        const QStringList original = FileFixture::tree(files->path("photos"));
        const QStringList copied = QStringList(original).filter(QRegularExpression("^(?!trip/pipe$)"));
        SingleFileWidget tile(files->path("photos"));
        QCOMPARE(tile.getSize(), float(3 * MB + 1024) / float(MB));
        TestSupport::ModalAnswer noBox;
        tile.setName("holiday");
        tile.makeFileCopy("holiday");
        QCOMPARE(QFile::symLinkTarget(FileFixture::work("holiday/link.jpg")), FileFixture::work("holiday/a.jpg"));
        tile.setName("summer");
        tile.makeFileCopy("summer");
        QVERIFY(!noBox.seen());
        QCOMPARE(tile.findChild<QPushButton *>()->accessibleName(), "Rename summer");
        QCOMPARE(tile.findChild<QToolButton *>()->accessibleName(), "Remove summer");
        QCOMPARE(tile.findChild<QToolButton *>()->toolTip(), "Remove summer from the list");
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
        // Nothing can open it, yet it counts.
        QTest::newRow("name no UTF-8") << "odd";
    }
    void folderCopyThatStopsLeavesNothing()
    {
        POSIX_ONLY();
        QFETCH(QString, how);
        for (int i = 0; i < 200; ++i)
            files->makeFile(QStringLiteral("src/%1.txt").arg(i), 1);
        QVERIFY(how != "odd" || files->makeRawFile("src/caf\xe9.txt", 3 * MB));
        if (how == "deep") {
            const QString temp = files->path("t/" + (QString(200, 's') + '/').repeated(3));
            QVERIFY(QDir().mkpath(files->path("src/d/" + (QString(240, 'd') + '/').repeated(16))));
            QVERIFY(QDir().mkpath(temp));
            qputenv("XDG_CACHE_HOME", QFile::encodeName(temp));
        }
        if (how == "unreadable") {
            QVERIFY(QDir().mkpath(files->path("src/private")) && QFile::setPermissions(files->path("src/private"), {}));
            QVERIFY(::chmod(QFile::encodeName(files->path(".")).constData(), 0755) == 0);
            QVERIFY(::chmod(QFile::encodeName(files->path("tmp")).constData(), 01777) == 0);
            OtherProgram other(files->path("src"), "copy", FileFixture::isRoot() ? "nobody" : QString());
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
            QVERIFY(tile.getName() == "src" && (how != "cancel" || watch.shown == 1) &&
                    (how != "odd" || tile.getSize() > 3));
        }
        const QStringList left = FileFixture::tree(files->path("."));
        QVERIFY2(left.filter("copy").isEmpty(), qPrintable(left.join(' ')));
    }
};

QTEST_MAIN(TestFiles)
#include "tst_files.moc"
