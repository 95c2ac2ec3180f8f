// SPDX-License-Identifier: MIT
#include "filefixture.h"
#include "files/entryrules.h"
#include "files/filewidget.h"
#include "files/workprogress.h"
#include "testsupport.h"

#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>

#include <algorithm>
#include <memory>

using TestSupport::ModalAnswer;

namespace {
const qint64 MB = 1048576;
const QString tooMuch = QStringLiteral("You can't add more than 500 MB of files");

// The listed tiles in grid order, leaving out those that wait for deletion.
QList<SingleFileWidget *> tiles(FileWidget &panel)
{
    QList<SingleFileWidget *> listed;
    auto *grid = panel.findChild<QGridLayout *>();
    for (int i = 0; i < grid->count(); ++i) {
        if (auto *tile = qobject_cast<SingleFileWidget *>(grid->itemAt(i)->widget()))
            listed << tile;
    }
    return listed;
}

SingleFileWidget *tileNamed(FileWidget &panel, const QString &name)
{
    for (SingleFileWidget *tile : tiles(panel)) {
        if (tile->getName() == name)
            return tile;
    }
    return nullptr;
}

// A tile's cell as (column, row).
QPoint cellOf(FileWidget &panel, SingleFileWidget *tile)
{
    auto *grid = panel.findChild<QGridLayout *>();
    int row = -1, column = -1, rowSpan = 0, columnSpan = 0;
    grid->getItemPosition(grid->indexOf(tile), &row, &column, &rowSpan, &columnSpan);
    return QPoint(column, row);
}

// A drag that enters the panel and is dropped there, as the toolkit delivers it. True when the
// panel let the drag in.
bool drop(FileWidget &panel, const QList<QUrl> &urls)
{
    QMimeData data;
    data.setUrls(urls);
    QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    enter.ignore();
    QApplication::sendEvent(&panel, &enter);
    QDropEvent dropped(QPointF(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&panel, &dropped);
    return enter.isAccepted();
}

void answerRename(FileWidget &panel, const QString &name)
{
    panel.setNameDialog([name](QWidget *, const QString &) {
        return name.isNull() ? std::nullopt : std::optional<QString>(name); // null: cancelled
    });
}

// The panel in a shown window, where the main window puts it.
FileWidget *shownPanel(QWidget &window, const QStringList &paths)
{
    auto *panel = new FileWidget(&window);
    panel->setGeometry(10, 10, 893, 273);
    panel->addFiles(paths);
    window.resize(920, 300);
    window.show();
    return QTest::qWaitForWindowExposed(&window) ? panel : nullptr;
}
} // namespace

// Records the panel's three signals in the order they arrive, with what getFiles() said then.
class SignalLog : public QObject
{
public:
    explicit SignalLog(FileWidget *panel)
    {
        connect(panel, &FileWidget::sizeChanged, this, [=](float size) {
            entries << QStringLiteral("size %1 (%2 listed)").arg(double(size)).arg(panel->getFiles().size());
        });
        connect(panel, &FileWidget::sizeExceeded, this, [=](const QString &error) { entries << error; });
        connect(panel, &FileWidget::initDestinationPath, this, [=](const QString &path) {
            entries
                << QStringLiteral("init %1 (%2 listed)").arg(QFileInfo(path).fileName()).arg(panel->getFiles().size());
        });
    }
    QStringList entries;
};

class TestFileWidget : public QObject
{
    Q_OBJECT
private slots:
    void init() { files = std::make_unique<FileFixture>(); }
    void cleanup()
    {
        QTRY_COMPARE(TestSupport::visibleTopLevels(), 0);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        WorkProgress::setShowAfter(500);
        files.reset();
    }
    void limitOf500MB();
    void duplicateNamesAreRefused();
    void entryRules_data();
    void entryRules();
    void portableFileNames_data();
    void portableFileNames();
    void drivesAreRefused_data();
    void drivesAreRefused();
    void specialEntriesAreRefused_data();
    void specialEntriesAreRefused();
    void bigFolderIsRefusedAtOnceAndSlowMeasurementCanBeCancelled();
    void entriesAreCheckedAgain_data();
    void entriesAreCheckedAgain();
    void anotherRunningProgramsCopiesAreLeftAlone();
    void thirtyTilesFillRowsOfSevenScrollAndCanAllBeRemoved();
    void removal();
    void rebuildReadsEveryFileAgain();
    void firstAndSecondRename();
    void renameChangesNothing_data();
    void renameChangesNothing();
    void dropOfFilesFoldersAndWebLinks();
    void panelInAWindow();

private:
    std::unique_ptr<FileFixture> files;
};

void TestFileWidget::limitOf500MB()
{
    FileWidget panel;
    SignalLog log(&panel);
    const QString first = files->makeFile("first.bin", 300 * MB);
    const QString third = files->makeFile("third.bin", 100 * MB);
    panel.addFiles({first, files->makeFile("second.bin", 300 * MB), third});
    QCOMPARE(panel.getFiles(), QStringList({first, third}));
    QCOMPARE(log.entries, QStringList({"size 300 (1 listed)", tooMuch, "size 400 (2 listed)"}));
    QCOMPARE(tiles(panel).size(), 2);

    // Exactly 500 MB in all are accepted, a KB more is not.
    panel.removeAllFiles();
    panel.addFiles({files->makeFile("a.bin", 250 * MB - 1000), files->makeFile("b.bin", 250 * MB + 1000)});
    QCOMPARE(panel.getSize(), 500.0f);
    log.entries.clear();
    panel.addFile(files->makeFile("c.bin", 1024));
    QCOMPARE(log.entries, QStringList{tooMuch});
}

void TestFileWidget::duplicateNamesAreRefused()
{
    FileWidget panel;
    const QString listed = files->makeFile("b/report.pdf", 10);
    panel.addFile(listed);
    SignalLog log(&panel);
    for (const QString &again : {files->makeFile("a/report.pdf", 10), listed}) {
        ModalAnswer answer;
        panel.addFile(again);
        QCOMPARE(answer.text(), QStringLiteral("The file with the name you provided exists"));
        QCOMPARE(answer.buttons(), QStringList{"OK"});
    }
    QCOMPARE(log.entries, QStringList());

    // Case aside, as Windows sees names: unpacked there one would overwrite the other.
    ModalAnswer answer;
    panel.addFile(files->makeFile("a/Report.PDF", 10));
    QCOMPARE(answer.text(), QStringLiteral("The file with the name you provided exists"));
    QCOMPARE(panel.getFiles(), QStringList{listed});
    // An entry may change the case of its own name.
    ModalAnswer noBox;
    answerRename(panel, "REPORT.pdf");
    emit tileNamed(panel, "report.pdf")->clickedForRename();
    QVERIFY(!noBox.seen());
    QCOMPARE(panel.getFiles(), QStringList{FileFixture::work("REPORT.pdf")});
}

// Listed as (kind, link); now as (kind, link, the folder that cannot be read).
void TestFileWidget::entryRules_data()
{
    using Kind = EntryScan::Kind;
    QTest::addColumn<Kind>("listed");
    QTest::addColumn<bool>("listedLink");
    QTest::addColumn<Kind>("now");
    QTest::addColumn<bool>("nowLink");
    QTest::addColumn<QString>("unreadable");
    QTest::addColumn<QString>("toList");
    QTest::addColumn<QString>("toPack");
    const QString replaced("x was replaced after it was added; remove it and add it again");
    QTest::newRow("file") << Kind::File << false << Kind::File << false << ""
                          << ""
                          << "";
    QTest::newRow("link to a folder") << Kind::Folder << true << Kind::Folder << true << ""
                                      << ""
                                      << "";
    QTest::newRow("missing") << Kind::Missing << false << Kind::Missing << false << ""
                             << ""
                             << "x was moved or deleted after it was added; remove it from the list";
    QTest::newRow("file now a folder") << Kind::File << false << Kind::Folder << false << ""
                                       << "" << replaced;
    QTest::newRow("link now none") << Kind::File << true << Kind::File << false << ""
                                   << "" << replaced;
    QTest::newRow("device") << Kind::File << false << Kind::Special << false << ""
                            << "Only files and folders can be added: x is a pipe, a socket or a device" << replaced;
    QTest::newRow("unreadable folder") << Kind::Folder << false << Kind::Folder << false << "."
                                       << "The folder x cannot be read"
                                       << "The folder x cannot be read";
    QTest::newRow("unreadable below") << Kind::Folder << false << Kind::Folder << false << "a/b"
                                      << "The folder a/b in x cannot be read"
                                      << "The folder a/b in x cannot be read";
}

void TestFileWidget::entryRules()
{
    QFETCH(EntryScan::Kind, listed);
    QFETCH(bool, listedLink);
    QFETCH(EntryScan::Kind, now);
    QFETCH(bool, nowLink);
    QFETCH(QString, unreadable);
    EntryScan scan;
    scan.kind = now;
    scan.isLink = nowLink;
    scan.unreadable = unreadable;
    QTEST(EntryRules::refusalToList(scan, "x"), "toList");
    QTEST(EntryRules::refusalToPack(listed, listedLink, scan, "x"), "toPack");
}

// Every name Windows cannot hold as typed is refused on every system.
void TestFileWidget::portableFileNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("portable");
    QTest::newRow("plain") << "report.txt" << true;
    QTest::newRow("hidden, many dots") << ".a.tar.gz" << true;
    QTest::newRow("not latin") << QString::fromUtf8("\u540d\u524d \u00e9t\u00e9.txt") << true;
    QTest::newRow("255 characters") << QString(255, 'x') << true;
    QTest::newRow("device name inside") << "console.nul" << true;
    QTest::newRow("COM10") << "COM10.txt" << true;
    QTest::newRow("LPT0") << "lpt0" << true;
    QTest::newRow("256 characters") << QString(256, 'x') << false;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("dot") << "." << false;
    QTest::newRow("dot dot") << ".." << false;
    QTest::newRow("trailing dot") << "report." << false;
    QTest::newRow("trailing space") << "report " << false;
    QTest::newRow("nul character") << QString("a") + QChar(0) + "b" << false;
    QTest::newRow("tab") << "a\tb" << false;
    QTest::newRow("newline") << "a\nb" << false;
    QTest::newRow("delete") << "a\x7f" << false;
    for (const char *c : {"<", ">", ":", "\"", "|", "?", "*", "/", "\\"})
        QTest::addRow("holds %s", c) << QString("a%1b.txt").arg(c) << false;
    for (const char *device : {"CON", "con", "Prn", "aux", "NUL", "nul.txt", "Nul.tar.gz", "NUL .txt", "COM1",
                               "com9.log", "LPT1", "lpt9", "Lpt5.doc", "COM\u00b9"})
        QTest::addRow("device %s", device) << QString::fromUtf8(device) << false;
}

void TestFileWidget::portableFileNames()
{
    QFETCH(QString, name);
    QTEST(EntryRules::isPortableFileName(name), "portable");
}

void TestFileWidget::drivesAreRefused_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("refused");
    for (const char *path : {"/", "//", "C:", "c:/", "D:/", "//nas/share", "//nas/share/"})
        QTest::addRow("%s", path) << QString(path) << true;
    for (const char *path : {"/home", "/a/", "C:/Data", "C:x", "//nas/share/x"})
        QTest::addRow("%s", path) << QString(path) << false;
}

void TestFileWidget::drivesAreRefused()
{
    QFETCH(QString, path);
    QFETCH(bool, refused);
    const QString message = EntryRules::refusalOfRoot(path, "x");
    QCOMPARE(message, QString(refused ? "x is a whole drive; add the files and folders on it instead" : ""));
}

void TestFileWidget::specialEntriesAreRefused_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<bool>("dropped");
    QTest::addColumn<QString>("message");
    const QString special("Only files and folders can be added: %1 is a pipe, a socket or a device");
    QTest::newRow("pipe") << "pipe" << false << special;
    QTest::newRow("socket, dropped") << "socket" << true << special;
    QTest::newRow("device") << "/dev/zero" << false << special;
    QTest::newRow("link to a pipe, dropped") << "link" << true << special;
    QTest::newRow("root, dropped") << "/" << true << "%1 is a whole drive; add the files and folders on it instead";
}

void TestFileWidget::specialEntriesAreRefused()
{
    QFETCH(QString, entry);
    QFETCH(bool, dropped);
    QFETCH(QString, message);
    QVERIFY(files->makePipe("pipe") && files->makeSocket("socket") &&
            QFile::link(files->path("pipe"), files->path("link")));
    FileWidget panel;
    ModalAnswer answer;
    if (dropped)
        drop(panel, {QUrl::fromLocalFile(files->path(entry))});
    else
        panel.addFile(files->path(entry));
    QCOMPARE(answer.text(), message.arg(files->path(entry)));
    QVERIFY(panel.getFiles().isEmpty());
    QVERIFY(tiles(panel).isEmpty());
}

// Progress shows at once here; a walk long enough to ask for it shows it.
void TestFileWidget::bigFolderIsRefusedAtOnceAndSlowMeasurementCanBeCancelled()
{
    files->makeFile("huge/big.bin", 600 * MB);
    for (int i = 0; i < 300; ++i)
        files->makeFile(QStringLiteral("huge/sub/%1").arg(i), 0);
    WorkProgress::setShowAfter(0);
    FileWidget panel;
    SignalLog log(&panel);
    {
        // Past the limit with its first entry, before the subfolder is walked.
        TestSupport::ProgressWatch watch;
        panel.addFile(files->path("huge"));
        QCOMPARE(log.entries, QStringList{tooMuch});
        QCOMPARE(watch.shown, 0);
    }
    TestSupport::ProgressWatch cancel(true);
    panel.addFile(files->path("huge/sub"));
    QCOMPARE(cancel.shown, 1);
    QCOMPARE(cancel.title, QStringLiteral("Parcelo"));
    QCOMPARE(cancel.label, QStringLiteral("Measuring sub..."));
    QVERIFY(cancel.modal);
    QCOMPARE(log.entries, QStringList{tooMuch});
    QVERIFY(panel.getFiles().isEmpty());
}

void TestFileWidget::entriesAreCheckedAgain_data()
{
    const QString replaced(" was replaced after it was added; remove it and add it again");
    QTest::addColumn<QString>("change");
    QTest::addColumn<QString>("message");
    QTest::newRow("none") << ""
                          << "";
    QTest::newRow("renamed link") << "rename l.txt"
                                  << "";
    QTest::newRow("file grown past the limit") << "grow a.txt" << tooMuch;
    QTest::newRow("folder grown past the limit") << "grow f/new.bin" << tooMuch;
    QTest::newRow("file deleted") << "delete a.txt"
                                  << "a.txt was moved or deleted after it was added; remove it from the list";
    QTest::newRow("file now a link to a secret") << "link a.txt"
                                                 << "a.txt" + replaced;
    QTest::newRow("file now a pipe") << "pipe a.txt"
                                     << "a.txt" + replaced;
    QTest::newRow("link now a file") << "file l.txt"
                                     << "l.txt" + replaced;
    QTest::newRow("folder now a file") << "file f"
                                       << "f" + replaced;
}

// The answer for "Compress"; the list stays as it is.
void TestFileWidget::entriesAreCheckedAgain()
{
    QFETCH(QString, change);
    QFETCH(QString, message);
    const QString secret = files->makeFile("secret.txt", 10, 's');
    QVERIFY(QFile::link(secret, files->path("l.txt")));
    FileWidget panel;
    files->makeFile("f/b.txt", 10);
    panel.addFiles({files->makeFile("a.txt", 10), files->path("f"), files->path("l.txt")});
    const QString action = change.section(' ', 0, 0);
    const QString name = change.section(' ', 1);
    if (action == "grow") {
        QVERIFY(!files->makeFile(name, 501 * MB).isEmpty());
    } else if (action == "rename") {
        answerRename(panel, "m.txt");
        emit tileNamed(panel, name)->clickedForRename();
    } else if (!action.isEmpty()) {
        QVERIFY(QFile::remove(files->path(name)) || QDir(files->path(name)).removeRecursively());
        QVERIFY(action != "link" || QFile::link(secret, files->path(name)));
        QVERIFY(action != "pipe" || files->makePipe(name));
        QVERIFY(action != "file" || !files->makeFile(name, 10).isEmpty());
    }
    const QStringList listed = panel.getFiles();
    SignalLog log(&panel);
    ModalAnswer noBox;
    QCOMPARE(panel.checkEntriesAgain(), message);
    QVERIFY(!noBox.seen());
    QCOMPARE(panel.getFiles(), listed);
    QCOMPARE(tiles(panel).size(), 3);
    QCOMPARE(log.entries, QStringList());
}

// The other program renames its file to the name ours takes too; a file of a third one lies in
// the shared folder.
void TestFileWidget::anotherRunningProgramsCopiesAreLeftAlone()
{
    OtherProgram other(files->makeFile("theirs/other.txt", 20, 't'), "report.txt");
    const QString theirCopy = other.result().remove("copied ");
    QCOMPARE(QFileInfo(theirCopy).fileName(), QStringLiteral("report.txt"));
    const QString foreign = files->makeFile(WorkFolder::sharedPath() + "/report.txt", 5, 'f');

    FileWidget panel;
    panel.addFile(files->makeFile("ours/other.txt", 10, 'o'));
    answerRename(panel, "report.txt");
    ModalAnswer noBox;
    emit tileNamed(panel, "other.txt")->clickedForRename();
    QVERIFY(!noBox.seen());
    const QString ourCopy = FileFixture::work("report.txt");
    QCOMPARE(panel.getFiles(), QStringList{ourCopy});
    QVERIFY(ourCopy != theirCopy);
    QCOMPARE(FileFixture::contents(ourCopy), QByteArray(10, 'o'));
    QCOMPARE(FileFixture::contents(theirCopy), QByteArray(20, 't'));

    // A success in either program removes its own copies only.
    QVERIFY(other.finish("remove"));
    QVERIFY(!QFileInfo::exists(theirCopy));
    QCOMPARE(FileFixture::contents(ourCopy), QByteArray(10, 'o'));
    panel.removeAllFiles();
    QVERIFY(WorkFolder::remove());
    QVERIFY(!QFileInfo::exists(WorkFolder::path()));
    QCOMPARE(FileFixture::contents(foreign), QByteArray(5, 'f'));
}

void TestFileWidget::thirtyTilesFillRowsOfSevenScrollAndCanAllBeRemoved()
{
    QStringList paths;
    for (int i = 1; i <= 30; ++i)
        paths << files->makeFile(QStringLiteral("f%1.txt").arg(i, 2, 10, QChar('0')), 10);
    QWidget window;
    FileWidget *panel = shownPanel(window, paths);
    QVERIFY(panel);
    QCOMPARE(panel->height(), 273);
    const QList<SingleFileWidget *> listed = tiles(*panel);
    QCOMPARE(cellOf(*panel, listed.at(6)), QPoint(6, 0));
    QCOMPARE(cellOf(*panel, listed.at(7)), QPoint(0, 1));
    QCOMPARE(cellOf(*panel, listed.at(29)), QPoint(1, 4));
    for (int i = 0; i < listed.size(); ++i) {
        QCOMPARE(listed.at(i)->geometry().size(), QSize(88, 88));
        for (int j = i + 1; j < listed.size(); ++j)
            QVERIFY(!listed.at(i)->geometry().intersects(listed.at(j)->geometry()));
    }
    QScrollBar *scrollBar = panel->findChild<QScrollArea *>()->verticalScrollBar();
    QVERIFY(scrollBar->isVisible());

    // Two rows fit without scrolling.
    panel->removeFiles(paths.mid(14));
    QTRY_VERIFY(!scrollBar->isVisible());
    panel->addFiles(paths.mid(14));

    // The last tile can be brought into view and removed with its own button.
    SingleFileWidget *last = tileNamed(*panel, "f30.txt");
    panel->findChild<QScrollArea *>()->ensureWidgetVisible(last);
    QTRY_VERIFY(!last->visibleRegion().isEmpty());
    QTest::mouseClick(last->findChild<QToolButton *>(), Qt::LeftButton);
    QCOMPARE(panel->getFiles(), paths.mid(0, 29));
}

void TestFileWidget::removal()
{
    FileWidget panel;
    SignalLog log(&panel);
    panel.removeAllFiles();
    QCOMPARE(log.entries, QStringList{"size 0 (0 listed)"});
    const QString z = files->makeFile("z.txt", 1 * MB);
    const QString a = files->makeFile("a.txt", 2 * MB);
    const QString m = files->makeFile("m.txt", 4 * MB);
    panel.addFiles({z, a, m});
    QCOMPARE(panel.getFiles(), QStringList({a, m, z}));
    QCOMPARE(cellOf(panel, tileNamed(panel, "m.txt")), QPoint(2, 0));

    // Pressed on the tile itself, which goes while its own signal runs.
    log.entries.clear();
    QPointer<SingleFileWidget> pressed = tileNamed(panel, "m.txt");
    pressed->findChild<QToolButton *>()->click();
    // The others keep the order they were added in; the archiver still gets them in path order.
    QCOMPARE(log.entries,
             QStringList({"size 0 (0 listed)", "init z.txt (0 listed)", "size 1 (1 listed)", "size 3 (2 listed)"}));
    QCOMPARE(cellOf(panel, tileNamed(panel, "z.txt")), QPoint(0, 0));
    QCOMPARE(cellOf(panel, tileNamed(panel, "a.txt")), QPoint(1, 0));
    QCOMPARE(panel.getFiles(), QStringList({a, z}));
    QVERIFY(QFile::exists(m));
    QTRY_VERIFY(!pressed);

    // Paths that are not listed change nothing; the last entry leaves an empty grid.
    panel.removeFile(a);
    log.entries.clear();
    panel.removeFiles({m, QString()});
    QCOMPARE(log.entries, QStringList());
    panel.removeFile(z);
    QCOMPARE(log.entries, QStringList{"size 0 (0 listed)"});
    QVERIFY(tiles(panel).isEmpty());
    // The grid starts again at its first cell.
    panel.addFile(z);
    QCOMPARE(cellOf(panel, tiles(panel).first()), QPoint(0, 0));
}

// The rebuild keeps its tiles, but each must come out as a new tile for its path would.
void TestFileWidget::rebuildReadsEveryFileAgain()
{
    FileWidget panel;
    const QString c = files->makeFile("c.txt", 10);
    panel.addFiles({files->makeFile("a.txt", 2 * MB), files->makeFile("b.txt", 1 * MB), c});
    answerRename(panel, "b.pdf");
    emit tileNamed(panel, "b.txt")->clickedForRename();
    QPointer<SingleFileWidget> renamed = tileNamed(panel, "b.pdf");
    const qint64 iconBefore = renamed->findChildren<QLabel *>().first()->pixmap().cacheKey();

    // a.txt grew meanwhile. A removal only makes room: the others keep their measurements.
    files->makeFile("a.txt", 200 * MB);
    SignalLog log(&panel);
    panel.removeFile(c);
    QCOMPARE(log.entries,
             QStringList({"size 0 (0 listed)", "init a.txt (0 listed)", "size 2 (1 listed)", "size 3 (2 listed)"}));
    log.entries.clear();
    panel.updateFiles();
    QCOMPARE(log.entries,
             QStringList({"size 0 (0 listed)", "init a.txt (0 listed)", "size 200 (1 listed)", "size 201 (2 listed)"}));
    const QList<QLabel *> labels = tileNamed(panel, "a.txt")->findChildren<QLabel *>();
    QVERIFY(std::any_of(labels.begin(), labels.end(), [](QLabel *label) { return label->text() == "200MB"; }));
    // The copy's name now chooses the icon, and the copy counts as a file the tile did not make:
    // the next rename leaves it in the working folder.
    QVERIFY(renamed);
    QVERIFY(renamed->findChildren<QLabel *>().first()->pixmap().cacheKey() != iconBefore);
    answerRename(panel, "e.txt");
    emit renamed->clickedForRename();
    QCOMPARE(FileFixture::tree(WorkFolder::path()), QStringList({"b.pdf", "e.txt"}));

    // Grown past the limit, a file is refused by the next rebuild and its tile goes.
    QPointer<SingleFileWidget> grown = tileNamed(panel, "a.txt");
    files->makeFile("a.txt", 501 * MB);
    log.entries.clear();
    panel.updateFiles();
    QCOMPARE(log.entries, QStringList({"size 0 (0 listed)", "init a.txt (0 listed)", tooMuch, "size 1 (1 listed)"}));
    QCOMPARE(panel.getFiles(), QStringList{FileFixture::work("e.txt")});
    QCOMPARE(tiles(panel).size(), 1);
    QTRY_VERIFY(!grown);
}

void TestFileWidget::firstAndSecondRename()
{
    FileWidget panel;
    const QString user = files->makeFile("docs/report.pdf", 3000, 'r');
    const QString other = files->makeFile("docs/other.txt", 10);
    panel.addFiles({user, other});
    // A copy left under the first new name, by an earlier run or a removed entry, is replaced.
    QVERIFY(WorkFolder::ensure());
    files->makeFile(FileFixture::work("final.pdf"), 3, 'o');
    QStringList answers{"final.pdf", "summary.pdf"};
    panel.setNameDialog([&](QWidget *parent, const QString &current) -> std::optional<QString> {
        [&] { QCOMPARE(parent, &panel); }();
        [&] { QCOMPARE(current, answers.size() == 2 ? "report.pdf" : "final.pdf"); }();
        return answers.takeFirst();
    });
    SingleFileWidget *tile = tileNamed(panel, "report.pdf");
    const QPoint cell = cellOf(panel, tile);
    // Each change arrives while both files still exist: the earlier copy goes afterwards.
    QStringList changes;
    connect(tile, &SingleFileWidget::filePathChanged, this, [&](const QString &from, const QString &to) {
        changes << QStringLiteral("%1 -> %2, %3%4").arg(from, to).arg(QFile::exists(from)).arg(QFile::exists(to));
    });

    ModalAnswer noBox;
    QTest::mouseClick(tile->findChild<QPushButton *>(), Qt::LeftButton);
    QCOMPARE(panel.getFiles(), QStringList({other, FileFixture::work("final.pdf")}));
    QCOMPARE(FileFixture::contents(FileFixture::work("final.pdf")), QByteArray(3000, 'r'));
    QCOMPARE(cellOf(panel, tile), cell);

    QTest::mouseClick(tile->findChild<QPushButton *>(), Qt::LeftButton);
    QVERIFY(!noBox.seen());
    QCOMPARE(panel.getFiles(), QStringList({other, FileFixture::work("summary.pdf")}));
    QCOMPARE(changes,
             QStringList({user + " -> " + FileFixture::work("final.pdf") + ", 11",
                          FileFixture::work("final.pdf") + " -> " + FileFixture::work("summary.pdf") + ", 11"}));
    QCOMPARE(FileFixture::tree(WorkFolder::path()), QStringList{"summary.pdf"});
    QCOMPARE(FileFixture::contents(user), QByteArray(3000, 'r'));

    // The entry is removed by its copy's path.
    tile->findChild<QToolButton *>()->click();
    QCOMPARE(panel.getFiles(), QStringList{other});
}

void TestFileWidget::renameChangesNothing_data()
{
    const QString invalid("The name you provided is not a valid file name, Please choose another name");
    const QString listedName("The file with the name you provided exists, Please choose another name");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("foreignWorkFolder");
    QTest::addColumn<QString>("message");
    QTest::newRow("cancelled") << QString() << false << QString();
    QTest::newRow("empty") << QString("") << false << QString();
    QTest::newRow("unchanged") << "a.txt" << false << QString();
    QTest::newRow("listed name") << "b.txt" << false << listedName;
    QTest::newRow("listed name in another case") << "B.TXT" << false << listedName;
    QTest::newRow("up and out") << "../../x.txt" << false << invalid;
    QTest::newRow("into a folder") << "a/b.txt" << false << invalid;
    QTest::newRow("absolute") << "/x.txt" << false << invalid;
    QTest::newRow("windows separator") << "..\\x.txt" << false << invalid;
    QTest::newRow("dot") << "." << false << invalid;
    QTest::newRow("dot dot") << ".." << false << invalid;
    QTest::newRow("alternate stream") << "a:b.txt" << false << invalid;
    QTest::newRow("device") << "Nul.txt" << false << invalid;
    // The working folder's name is taken by a link to a place that is not ours to fill.
    QTest::newRow("foreign working folder")
        << "c.txt" << true << "The temporary folder %1 belongs to someone else; it was not used";
}

// Nothing changes, neither the list nor any file below the test's folder; a refusal is explained.
void TestFileWidget::renameChangesNothing()
{
    QFETCH(QString, name);
    QFETCH(bool, foreignWorkFolder);
    QFETCH(QString, message);
    FileWidget panel;
    const QStringList listed{files->makeFile("x/a.txt", 10), files->makeFile("y/b.txt", 10)};
    panel.addFiles(listed);
    if (foreignWorkFolder) {
        QVERIFY(QDir().mkpath(files->path("elsewhere")));
        QVERIFY(QFile::link(files->path("elsewhere"), WorkFolder::sharedPath()));
    } else {
        QVERIFY(WorkFolder::ensure());
        QVERIFY(QDir().mkpath(FileFixture::work("a")));
    }
    const QStringList before = FileFixture::tree(files->path("."));
    answerRename(panel, name);

    ModalAnswer answer;
    emit tileNamed(panel, "a.txt")->clickedForRename();
    QCOMPARE(answer.seen(), !message.isEmpty());
    QCOMPARE(answer.text(), message.replace("%1", WorkFolder::sharedPath()));
    QCOMPARE(panel.getFiles(), listed);
    QVERIFY(tileNamed(panel, "a.txt"));
    QCOMPARE(FileFixture::tree(files->path(".")), before);
}

void TestFileWidget::dropOfFilesFoldersAndWebLinks()
{
    const QString file = files->makeFile("in/b.txt", 1 * MB);
    files->makeFile("in/photos/x.jpg", 2 * MB);
    files->makeFile("in/photos/sub/y.jpg", 1 * MB);
    files->makeFile("big/part1.bin", 300 * MB);
    files->makeFile("big/deeper/part2.bin", 250 * MB);
    FileWidget panel;
    SignalLog log(&panel);
    // Links that are no local files are skipped, alone or among files.
    QVERIFY(drop(panel, {QUrl("https://example.com/report.pdf")}));
    QCOMPARE(log.entries, QStringList());
    drop(panel, {QUrl("https://example.com/b.txt"), QUrl::fromLocalFile(file), QUrl("mailto:x@example.com")});
    QCOMPARE(log.entries, QStringList({"init b.txt (0 listed)", "size 1 (1 listed)"}));

    // File managers may send a folder with a trailing slash. A folder counts with its content.
    log.entries.clear();
    drop(panel, {QUrl::fromLocalFile(files->path("in/photos/")), QUrl::fromLocalFile(files->path("big"))});
    QCOMPARE(log.entries, QStringList({"init photos (1 listed)", "size 4 (2 listed)", "init big (2 listed)", tooMuch}));
    QCOMPARE(panel.getFiles(), QStringList({file, files->path("in/photos")}));

    // A drag without URLs is not let in.
    QMimeData text;
    text.setText(file);
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    enter.ignore();
    QApplication::sendEvent(&panel, &enter);
    QVERIFY(!enter.isAccepted());
}

void TestFileWidget::panelInAWindow()
{
    QFile sheet(QStringLiteral(":/qrc/style.qss"));
    QVERIFY(sheet.open(QIODevice::ReadOnly));
    qApp->setStyleSheet(QString::fromLatin1(sheet.readAll()));
    QWidget window;
    window.setObjectName("window");
    window.setStyleSheet("#window { background: #102030; }");
    window.setAttribute(Qt::WA_StyledBackground);
    FileWidget *panel = shownPanel(window, {files->makeFile("a.txt", 10)});
    QVERIFY(panel);
    const QImage picture = window.grab().toImage();
    // The window is dragged by presses that no child takes.
    struct PressSeen : QObject
    {
        int presses = 0;
        bool eventFilter(QObject *, QEvent *event) override
        {
            presses += event->type() == QEvent::MouseButtonPress ? 1 : 0;
            return false;
        }
    } seen;
    panel->installEventFilter(&seen);
    QTest::mousePress(tiles(*panel).first(), Qt::LeftButton, {}, QPoint(2, 2));
    QTest::mouseRelease(tiles(*panel).first(), Qt::LeftButton, {}, QPoint(2, 2));
    window.close();
    qApp->setStyleSheet(QString());

    QCOMPARE(seen.presses, 1);
    QCOMPARE(QColor(picture.pixel(10, 150)), QColor(0xBD, 0xCE, 0xE5));
    // Inside the panel, away from the tile, the window's own background shows through.
    QCOMPARE(QColor(picture.pixel(500, 200)), QColor(0x10, 0x20, 0x30));
}

QTEST_MAIN(TestFileWidget)
#include "tst_filewidget.moc"
