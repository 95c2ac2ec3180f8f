// SPDX-License-Identifier: MIT
#include "filefixture.h"
#include "files/singlefilewidget.h"
#include "files/workprogress.h"
#include "testsupport.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include <algorithm>
#include <memory>

using TestSupport::ModalAnswer;

namespace {
const QString notCopied = QStringLiteral("The file could not be copied under the new name");

// The size label has text; the icon label has none.
QLabel *label(SingleFileWidget &tile, bool withText)
{
    const QList<QLabel *> labels = tile.findChildren<QLabel *>();
    auto found = std::find_if(labels.begin(), labels.end(), [&](QLabel *l) { return l->text().isEmpty() != withText; });
    return found == labels.end() ? nullptr : *found;
}
} // namespace

class TestSingleFileWidget : public QObject
{
    Q_OBJECT
private slots:
    void init() { files = std::make_unique<FileFixture>(); }
    void cleanup()
    {
        QTRY_COMPARE(TestSupport::visibleTopLevels(), 0);
        WorkProgress::setShowAfter(500);
        files.reset();
    }
    void texts_data();
    void texts();
    void cardLook();
    void ownRenameDialogKeepsTheCopyOnTheCurrentName();
    void refusedCopyLeavesEverythingAsItWas_data();
    void refusedCopyLeavesEverythingAsItWas();
    void folderIsCountedAndCopiedWhole();
    void folderCopyFailingHalfwayLeavesNothing();
    void folderWithAnUnreadablePartIsNotCopied();
    void cancelledFolderCopyLeavesNothing();

private:
    std::unique_ptr<FileFixture> files;
};

// The row's tag is the file's name. Without a picture the system's icon is shown.
void TestSingleFileWidget::texts_data()
{
    const QString pdf(":/qrc/file-pdf.svg"), image(":/qrc/file-image.svg"), word(":/qrc/file-word.svg");
    QTest::addColumn<qint64>("bytes");
    QTest::addColumn<QString>("sizeText");
    QTest::addColumn<QString>("picture");
    QTest::addColumn<QString>("shownName");
    QTest::newRow("report.pdf") << qint64(0) << "1KB" << pdf << "report.pdf";
    QTest::newRow("photo.jpg") << qint64(1000) << "1KB" << image << "photo.jpg";
    QTest::newRow("photo.png") << qint64(1024) << "2KB" << image << "photo.png";
    QTest::newRow("scan.jpeg") << qint64(2048) << "3KB" << image << "scan.jpeg";
    QTest::newRow("old.doc") << qint64(1047551) << "1023KB" << word << "old.doc";
    QTest::newRow("letter.docx") << qint64(1047552) << "1MB" << word << "letter.docx";
    QTest::newRow("report.PDF") << qint64(2000000) << "1.91MB" << QString() << "report.PDF";
    QTest::newRow("photo.JPG") << qint64(5) * 1024 * 1048576 << "5120MB" << QString() << "photo.JPG";
    QTest::newRow("data.tar.gz") << qint64(10) << "1KB" << QString() << "data.tar.gz";
    QTest::newRow("a.pdf.txt") << qint64(10) << "1KB" << QString() << "a.pdf.txt";
    QTest::newRow("quarterly_report_2023.xlsx") << qint64(10) << "1KB" << QString() << "quart....xlsx";
    // Fewer than ten characters but too wide: the two ends overlap.
    QTest::newRow("WWWWWWWWW") << qint64(10) << "1KB" << QString() << "WWWWW...WWWWW";
}

void TestSingleFileWidget::texts()
{
    QFETCH(qint64, bytes);
    QFETCH(QString, sizeText);
    QFETCH(QString, picture);
    QFETCH(QString, shownName);
    SingleFileWidget tile(files->makeFile(QTest::currentDataTag(), bytes));
    QCOMPARE(label(tile, true)->text(), sizeText);
    QCOMPARE(tile.getSize(), float(bytes) / 1048576.0f);
    QCOMPARE(tile.findChild<QPushButton *>()->text(), shownName);
    QCOMPARE(tile.findChild<QPushButton *>()->toolTip(), QTest::currentDataTag() + QStringLiteral("\nRename"));
    QCOMPARE(tile.getName(), QString(QTest::currentDataTag()));

    const QImage shown = label(tile, false)->pixmap().toImage();
    QVERIFY(!shown.isNull());
    if (!picture.isEmpty()) {
        QCOMPARE(shown, QPixmap(picture).toImage());
        return;
    }
    // The system's icon, fitted into 22 x 30.
    QVERIFY(shown.width() <= 22 && shown.height() <= 30);
    for (const char *own : {":/qrc/file-pdf.svg", ":/qrc/file-image.svg", ":/qrc/file-word.svg"})
        QVERIFY(shown != QPixmap(own).toImage());
}

void TestSingleFileWidget::cardLook()
{
    QFile sheet(QStringLiteral(":/qrc/style.qss"));
    QVERIFY(sheet.open(QIODevice::ReadOnly));
    qApp->setStyleSheet(QString::fromLatin1(sheet.readAll()));
    SingleFileWidget tile(files->makeFile("a.txt", 10));
    tile.show();
    QVERIFY(QTest::qWaitForWindowExposed(&tile));
    auto *name = tile.findChild<QPushButton *>();
    auto *remove = tile.findChild<QToolButton *>();
    remove->setFocus(Qt::TabFocusReason);
    const QImage focused = tile.grab().toImage();
    remove->clearFocus();
    const QImage card = tile.grab().toImage();
    tile.close();
    qApp->setStyleSheet(QString());
    // A focused remove button is marked, in the dark of the title bar.
    QCOMPARE(QColor(focused.pixel(remove->mapTo(&tile, QPoint(remove->width() / 2, 2)))), QColor(0x29, 0x39, 0x5D));
    // The sheet's tile rule is painted: a blue border around a light ground.
    QCOMPARE(QColor(card.pixel(0, 44)), QColor(0xBC, 0xD1, 0xFF));
    QCOMPARE(QColor(card.pixel(44, 84)), QColor(0xF2, 0xF6, 0xFF));
    // The name sits on the tile's ground, and the white cross on a dot of the primary colour.
    QCOMPARE(QColor(card.pixel(name->mapTo(&tile, QPoint(3, 2)))), QColor(0xF2, 0xF6, 0xFF));
    QCOMPARE(QColor(card.pixel(remove->mapTo(&tile, QPoint(remove->width() / 2, 2)))), QColor(0x52, 0x72, 0xBA));
}

// The file is a link: the copy holds its content.
void TestSingleFileWidget::ownRenameDialogKeepsTheCopyOnTheCurrentName()
{
    QVERIFY(QFile::link(files->makeFile("real.txt", 10, 'r'), files->path("a.txt")));
    SingleFileWidget tile(files->path("a.txt"));
    QSignalSpy changed(&tile, &SingleFileWidget::filePathChanged);
    QStringList answers{"b.txt", "b.txt"};
    tile.setNameDialog([&](QWidget *parent, const QString &current) -> std::optional<QString> {
        [&] { QVERIFY(parent == &tile && current == tile.getName()); }();
        return answers.isEmpty() ? std::nullopt : std::optional<QString>(answers.takeFirst());
    });
    ModalAnswer noBox;
    tile.onFileClicked();
    tile.onFileClicked(); // the current name again
    tile.onFileClicked(); // cancelled
    QVERIFY(!noBox.seen());
    QCOMPARE(changed.count(), 1);
    QCOMPARE(tile.getName(), QStringLiteral("b.txt"));
    QCOMPARE(tile.findChild<QPushButton *>()->toolTip(), QStringLiteral("b.txt\nRename\nOriginal name: a.txt"));
    QVERIFY(!QFileInfo(FileFixture::work("b.txt")).isSymLink());
    QCOMPARE(FileFixture::contents(FileFixture::work("b.txt")), QByteArray(10, 'r'));
}

void TestSingleFileWidget::refusedCopyLeavesEverythingAsItWas_data()
{
    const QString invalid("The name you provided is not a valid file name, Please choose another name");
    QTest::addColumn<QString>("newName");
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("message");
    QTest::newRow("source gone") << "b.txt"
                                 << "gone" << notCopied;
    // Opened for reading, the pipe would wait for a writer for ever.
    QTest::newRow("source now a pipe") << "b.txt"
                                       << "pipe" << notCopied;
    // 200 characters pass the name rule, but their 400 bytes do not fit the file system's 255.
    QTest::newRow("name too long for the file system") << QString(200, QChar(0xE9)) << "" << notCopied;
    QTest::newRow("name that climbs out") << "../x.txt"
                                          << "" << invalid;
}

void TestSingleFileWidget::refusedCopyLeavesEverythingAsItWas()
{
    QFETCH(QString, newName);
    QFETCH(QString, source);
    QFETCH(QString, message);
    SingleFileWidget tile(files->makeFile("docs/a.txt", 10));
    QSignalSpy removed(&tile, &SingleFileWidget::clicked);
    // Renamed once, so a refusal must also keep the earlier copy.
    tile.setName("first.txt");
    tile.makeFileCopy("first.txt");
    if (!source.isEmpty())
        QVERIFY(QFile::remove(FileFixture::work("first.txt")));
    QVERIFY(source != "pipe" || files->makePipe(FileFixture::work("first.txt")));
    const QStringList before = FileFixture::tree(files->path("."));
    QSignalSpy changed(&tile, &SingleFileWidget::filePathChanged);

    ModalAnswer answer;
    PipeGuard guard(FileFixture::work("first.txt"));
    tile.setName(newName);
    tile.makeFileCopy(newName);
    QVERIFY(!guard.stop());
    QCOMPARE(answer.text(), message);
    QCOMPARE(changed.count(), 0);
    QCOMPARE(tile.getName(), QStringLiteral("first.txt"));
    QCOMPARE(tile.findChild<QPushButton *>()->text(), QStringLiteral("first.txt"));
    QCOMPARE(FileFixture::tree(files->path(".")), before);
    tile.findChild<QToolButton *>()->click();
    QCOMPARE(removed.last().at(0).toString(), FileFixture::work("first.txt"));
}

// A folder's size is that of the regular files below it, links not followed; a rename copies it
// whole, links as links, but without pipes and sockets, which are never opened.
void TestSingleFileWidget::folderIsCountedAndCopiedWhole()
{
    QVERIFY(files->makePipe("photos/trip/pipe") && files->makeSocket("photos/socket"));
    files->makeFile("photos/a.jpg", 1000, 'a');
    files->makeFile("photos/trip/deeper/b.jpg", 3 * 1048576);
    files->makeFile("photos/.hidden/c", 24, 'c');
    QVERIFY(QDir().mkpath(files->path("photos/empty")));
    QVERIFY(QFile::link("a.jpg", files->path("photos/link.jpg")));
    QVERIFY(QFile::link(files->makeFile("outside/big.bin", qint64(900) * 1048576), files->path("photos/trip/big.bin")));
    QVERIFY(QFile::link(files->path("outside"), files->path("photos/linked-dir")));
    const QStringList original = FileFixture::tree(files->path("photos"));
    QStringList copied = original;
    copied.removeAll("trip/pipe");
    copied.removeAll("socket");

    PipeGuard guard(files->path("photos/trip/pipe"));
    SingleFileWidget tile(files->path("photos"));
    QCOMPARE(tile.getName(), QStringLiteral("photos"));
    QCOMPARE(tile.getSize(), float(3 * 1048576 + 1024) / 1048576.0f);
    QCOMPARE(label(tile, true)->text(), QStringLiteral("3MB"));
    QSignalSpy changed(&tile, &SingleFileWidget::filePathChanged);
    ModalAnswer noBox;
    tile.setName("holiday");
    tile.makeFileCopy("holiday");
    QCOMPARE(FileFixture::tree(FileFixture::work("holiday")), copied);
    QCOMPARE(FileFixture::contents(FileFixture::work("holiday/.hidden/c")), QByteArray(24, 'c'));
    QCOMPARE(QFile::symLinkTarget(FileFixture::work("holiday/link.jpg")), FileFixture::work("holiday/a.jpg"));

    // The next rename copies the copy and then removes it whole.
    tile.setName("summer");
    tile.makeFileCopy("summer");
    QVERIFY(!noBox.seen());
    QCOMPARE(changed.count(), 2);
    QCOMPARE(QDir(WorkFolder::path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{"summer"});
    QCOMPARE(FileFixture::tree(FileFixture::work("summer")), copied);
    QCOMPARE(FileFixture::tree(files->path("photos")), original);
    QVERIFY(!guard.stop());
}

void TestSingleFileWidget::folderCopyFailingHalfwayLeavesNothing()
{
    // The working folder lies deeper than the original, so after the first entries the copy's
    // paths exceed the system's path limit.
    const QString segment(200, 's');
    const QString deepTemp = files->path("t/") + segment + '/' + segment + '/' + segment;
    QVERIFY(QDir().mkpath(deepTemp));
    files->makeFile("src/a.txt", 10);
    QString deep = files->path("src/d");
    while (deep.size() + 241 < 4000)
        deep += '/' + QString(240, 'd');
    QVERIFY(QDir().mkpath(deep));
    qputenv("TMPDIR", QFile::encodeName(deepTemp));

    SingleFileWidget tile(files->path("src"));
    QSignalSpy changed(&tile, &SingleFileWidget::filePathChanged);
    ModalAnswer answer;
    tile.setName("copy");
    tile.makeFileCopy("copy");
    QCOMPARE(answer.text(), notCopied);
    QCOMPARE(changed.count(), 0);
    QCOMPARE(tile.getName(), QStringLiteral("src"));
    QCOMPARE(FileFixture::tree(WorkFolder::path()), QStringList());
}

// As root every folder can be read, so the copy runs as another user there.
void TestSingleFileWidget::folderWithAnUnreadablePartIsNotCopied()
{
    files->makeFile("photos/a.jpg", 10);
    files->makeFile("photos/private/b.jpg", 10);
    QVERIFY(QFile::setPermissions(files->path("photos/private"), {}));
    const bool root = ::geteuid() == 0;
    if (root) {
        QCOMPARE(::chmod(QFile::encodeName(files->path(".")).constData(), 0755), 0);
        QCOMPARE(::chmod(QFile::encodeName(files->path("tmp")).constData(), 01777), 0);
    }
    OtherProgram other(files->path("photos"), "copy", root ? "nobody" : QString());
    QCOMPARE(other.result(), "refused " + notCopied);
    QVERIFY(other.finish("leave"));
    const QStringList left = FileFixture::tree(WorkFolder::sharedPath());
    QVERIFY(!left.isEmpty());
    for (const QString &entry : left)
        QVERIFY2(!entry.contains("copy"), qPrintable(entry));
}

// The copy asks after every 64 files, and the progress is set to show at the first question.
void TestSingleFileWidget::cancelledFolderCopyLeavesNothing()
{
    for (int i = 0; i < 200; ++i)
        files->makeFile(QStringLiteral("many/%1.txt").arg(i), 1);
    SingleFileWidget tile(files->path("many"));
    QSignalSpy changed(&tile, &SingleFileWidget::filePathChanged);
    WorkProgress::setShowAfter(0);
    TestSupport::ProgressWatch cancel(true);
    ModalAnswer noBox;
    tile.setName("copy");
    tile.makeFileCopy("copy");
    QCOMPARE(cancel.shown, 1);
    QCOMPARE(cancel.label, QStringLiteral("Copying many..."));
    QVERIFY(!noBox.seen());
    QCOMPARE(changed.count(), 0);
    QCOMPARE(tile.getName(), QStringLiteral("many"));
    QCOMPARE(FileFixture::tree(WorkFolder::path()), QStringList());
}

QTEST_MAIN(TestSingleFileWidget)
#include "tst_singlefilewidget.moc"
