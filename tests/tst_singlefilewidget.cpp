// SPDX-License-Identifier: MIT
#include "filefixture.h"
#include "files/singlefilewidget.h"
#include "testsupport.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include <memory>

using TestSupport::ModalAnswer;

class TestSingleFileWidget : public QObject
{
    Q_OBJECT
private slots:
    void init() { files = std::make_unique<FileFixture>(); }
    void cleanup();
    void sizeText_data();
    void sizeText();
    void icon_data();
    void icon();
    void shownName_data();
    void shownName();
    void cardLook();
    void folderSizeCountsRegularFilesBelowIt();
    void ownRenameDialogKeepsTheCopyOnTheCurrentName();
    void copyRefusesNameThatIsNoPlainFileName();
    void failedCopyLeavesTileAsItWas_data();
    void failedCopyLeavesTileAsItWas();
    void folderIsCopiedWhole();
    void linkedFileIsCopiedByContent();
    void folderCopyFailingHalfwayLeavesNothing();

private:
    static QLabel *label(SingleFileWidget &tile, bool withText);
    std::unique_ptr<FileFixture> files;
};

void TestSingleFileWidget::cleanup()
{
    QTRY_COMPARE(TestSupport::visibleTopLevels(), 0);
    files.reset();
}

// The size label has text; the icon label has none.
QLabel *TestSingleFileWidget::label(SingleFileWidget &tile, bool withText)
{
    for (QLabel *label : tile.findChildren<QLabel *>()) {
        if (label->text().isEmpty() != withText)
            return label;
    }
    return nullptr;
}

void TestSingleFileWidget::sizeText_data()
{
    QTest::addColumn<qint64>("bytes");
    QTest::addColumn<QString>("shown");
    QTest::newRow("empty") << qint64(0) << "1KB";
    QTest::newRow("1000 bytes") << qint64(1000) << "1KB";
    QTest::newRow("exactly 1 KiB") << qint64(1024) << "2KB";
    QTest::newRow("exactly 2 KiB") << qint64(2048) << "3KB";
    QTest::newRow("last KB text") << qint64(1047551) << "1023KB";
    QTest::newRow("first MB text") << qint64(1047552) << "1MB";
    QTest::newRow("two decimals") << qint64(2000000) << "1.91MB";
    QTest::newRow("the limit") << qint64(500) * 1048576 << "500MB";
    QTest::newRow("beyond 4 GiB") << qint64(5) * 1024 * 1048576 << "5120MB";
}

void TestSingleFileWidget::sizeText()
{
    QFETCH(qint64, bytes);
    QFETCH(QString, shown);
    SingleFileWidget tile(files->makeFile("file.bin", bytes));
    QCOMPARE(label(tile, true)->text(), shown);
    QCOMPARE(tile.getSize(), float(bytes) / 1048576.0f);
}

void TestSingleFileWidget::icon_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("picture");
    QTest::newRow("pdf") << "report.pdf"
                         << ":/qrc/file-pdf.svg";
    QTest::newRow("jpg") << "photo.jpg"
                         << ":/qrc/file-image.svg";
    QTest::newRow("png") << "photo.png"
                         << ":/qrc/file-image.svg";
    QTest::newRow("jpeg") << "scan.jpeg"
                          << ":/qrc/file-image.svg";
    QTest::newRow("doc") << "old.doc"
                         << ":/qrc/file-word.svg";
    QTest::newRow("docx") << "letter.docx"
                          << ":/qrc/file-word.svg";
    QTest::newRow("upper-case PDF") << "report.PDF" << QString();
    QTest::newRow("upper-case JPG") << "photo.JPG" << QString();
    QTest::newRow("tar.gz") << "data.tar.gz" << QString();
    QTest::newRow("pdf inside the name") << "report.pdf.txt" << QString();
    QTest::newRow("no suffix") << "README" << QString();
}

void TestSingleFileWidget::icon()
{
    QFETCH(QString, name);
    QFETCH(QString, picture);
    SingleFileWidget tile(files->makeFile(name, 10));
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

void TestSingleFileWidget::shownName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("shown");
    QTest::newRow("short") << "a.txt"
                           << "a.txt";
    QTest::newRow("long") << "quarterly_report_2023.xlsx"
                          << "quart....xlsx";
    // Fewer than ten characters but too wide: the two ends overlap.
    QTest::newRow("short but wide") << "WWWWWWWWW"
                                    << "WWWWW...WWWWW";
}

void TestSingleFileWidget::shownName()
{
    QFETCH(QString, name);
    QFETCH(QString, shown);
    SingleFileWidget tile(files->makeFile("first.txt", 10));
    tile.setName(name);
    QCOMPARE(tile.findChild<QPushButton *>()->text(), shown);
    QCOMPARE(tile.getName(), name);
}

void TestSingleFileWidget::cardLook()
{
    QFile sheet(QStringLiteral(":/qrc/style.qss"));
    QVERIFY(sheet.open(QIODevice::ReadOnly));
    qApp->setStyleSheet(QString::fromLatin1(sheet.readAll()));
    SingleFileWidget tile(files->makeFile("a.txt", 10));
    tile.show();
    QVERIFY(QTest::qWaitForWindowExposed(&tile));
    const QImage card = tile.grab().toImage();
    auto *name = tile.findChild<QPushButton *>();
    const QPoint nameEdge = name->mapTo(&tile, QPoint(3, 2));
    auto *remove = tile.findChild<QToolButton *>();
    const QPoint removeRim = remove->mapTo(&tile, QPoint(remove->width() / 2, 2));
    tile.close();
    qApp->setStyleSheet(QString());

    QCOMPARE(tile.geometry().size(), QSize(88, 88));
    QCOMPARE(tile.findChild<QPushButton *>()->toolTip(), QStringLiteral("Rename"));
    // The sheet's tile rule is painted: a blue border around a light ground.
    QCOMPARE(QColor(card.pixel(0, 44)), QColor(0xBC, 0xD1, 0xFF));
    QCOMPARE(QColor(card.pixel(44, 84)), QColor(0xF2, 0xF6, 0xFF));
    // The name sits on the tile's ground, and the white cross on a dot of the primary colour.
    QCOMPARE(QColor(card.pixel(nameEdge)), QColor(0xF2, 0xF6, 0xFF));
    QCOMPARE(QColor(card.pixel(removeRim)), QColor(0x52, 0x72, 0xBA));
}

void TestSingleFileWidget::folderSizeCountsRegularFilesBelowIt()
{
    files->makeFile("folder/a.bin", 1000);
    files->makeFile("folder/sub/deeper/b.bin", qint64(300) * 1048576);
    files->makeFile("folder/.hidden", 24);
    const QString outside = files->makeFile("outside/big.bin", qint64(900) * 1048576);
    QVERIFY(QFile::link(outside, files->path("folder/sub/link.bin")));
    QVERIFY(QFile::link(files->path("outside"), files->path("folder/linked-dir")));

    SingleFileWidget tile(files->path("folder"));
    QCOMPARE(tile.getName(), QStringLiteral("folder"));
    QCOMPARE(tile.getSize(), float(qint64(300) * 1048576 + 1024) / 1048576.0f);
    QCOMPARE(label(tile, true)->text(), QStringLiteral("300MB"));
}

void TestSingleFileWidget::ownRenameDialogKeepsTheCopyOnTheCurrentName()
{
    SingleFileWidget tile(files->makeFile("a.txt", 10));
    QSignalSpy changed(&tile, &SingleFileWidget::filePathChanged);
    QStringList answers{"b.txt", "b.txt"};
    tile.setNameDialog([&](QWidget *parent, const QString &current) -> std::optional<QString> {
        [&] { QCOMPARE(parent, &tile); }();
        [&] { QCOMPARE(current, tile.getName()); }();
        return answers.isEmpty() ? std::nullopt : std::optional<QString>(answers.takeFirst());
    });
    ModalAnswer noBox;
    tile.onFileClicked();
    tile.onFileClicked(); // the current name again
    tile.onFileClicked(); // cancelled
    QVERIFY(!noBox.seen());
    QCOMPARE(changed.count(), 1);
    QCOMPARE(tile.getName(), QStringLiteral("b.txt"));
    QVERIFY(QFile::exists(FileFixture::work("b.txt")));
}

void TestSingleFileWidget::copyRefusesNameThatIsNoPlainFileName()
{
    SingleFileWidget tile(files->makeFile("docs/a.txt", 10));
    QSignalSpy changed(&tile, &SingleFileWidget::filePathChanged);
    ModalAnswer answer;
    tile.setName("../x.txt");
    tile.makeFileCopy("../x.txt");
    QCOMPARE(answer.text(),
             QStringLiteral("The name you provided is not a valid file name, Please choose another name"));
    QCOMPARE(changed.count(), 0);
    QCOMPARE(tile.findChild<QPushButton *>()->text(), QStringLiteral("a.txt"));
    QCOMPARE(FileFixture::tree(files->path(".")), QStringList({"docs", "docs/a.txt", "tmp"}));
}

void TestSingleFileWidget::failedCopyLeavesTileAsItWas_data()
{
    QTest::addColumn<bool>("sourceGone");
    QTest::addColumn<QString>("newName");
    QTest::newRow("source gone") << true << "b.txt";
    QTest::newRow("name too long for the file system") << false << QString(300, 'n');
}

void TestSingleFileWidget::failedCopyLeavesTileAsItWas()
{
    QFETCH(bool, sourceGone);
    QFETCH(QString, newName);
    SingleFileWidget tile(files->makeFile("a.txt", 10));
    QSignalSpy removed(&tile, &SingleFileWidget::clicked);
    // Renamed once, so a failure must also keep the earlier copy.
    tile.setName("first.txt");
    tile.makeFileCopy("first.txt");
    if (sourceGone)
        QVERIFY(QFile::remove(FileFixture::work("first.txt")));
    QSignalSpy changed(&tile, &SingleFileWidget::filePathChanged);

    ModalAnswer answer;
    tile.setName(newName);
    tile.makeFileCopy(newName);
    QCOMPARE(answer.text(), QStringLiteral("The file could not be copied under the new name"));
    QCOMPARE(changed.count(), 0);
    QCOMPARE(tile.getName(), QStringLiteral("first.txt"));
    QCOMPARE(tile.findChild<QPushButton *>()->text(), QStringLiteral("first.txt"));
    QCOMPARE(FileFixture::tree(WorkFolder::path()), sourceGone ? QStringList() : QStringList{"first.txt"});
    tile.findChild<QToolButton *>()->click();
    QCOMPARE(removed.last().at(0).toString(), FileFixture::work("first.txt"));
}

void TestSingleFileWidget::folderIsCopiedWhole()
{
    files->makeFile("photos/a.jpg", 100, 'a');
    files->makeFile("photos/trip/b.jpg", 200, 'b');
    files->makeFile("photos/.hidden/c", 3, 'c');
    QVERIFY(QDir().mkpath(files->path("photos/empty")));
    QVERIFY(QFile::link("a.jpg", files->path("photos/link.jpg")));
    const QStringList original = FileFixture::tree(files->path("photos"));

    SingleFileWidget tile(files->path("photos"));
    QSignalSpy changed(&tile, &SingleFileWidget::filePathChanged);
    ModalAnswer noBox;
    tile.setName("holiday");
    tile.makeFileCopy("holiday");
    QCOMPARE(FileFixture::tree(FileFixture::work("holiday")), original);
    QCOMPARE(FileFixture::contents(FileFixture::work("holiday/trip/b.jpg")), QByteArray(200, 'b'));

    // The next rename copies the copy and then removes it whole.
    tile.setName("summer");
    tile.makeFileCopy("summer");
    QVERIFY(!noBox.seen());
    QCOMPARE(changed.count(), 2);
    QCOMPARE(QDir(WorkFolder::path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{"summer"});
    QCOMPARE(FileFixture::tree(FileFixture::work("summer")), original);
    QCOMPARE(FileFixture::tree(files->path("photos")), original);
}

void TestSingleFileWidget::linkedFileIsCopiedByContent()
{
    QVERIFY(QFile::link(files->makeFile("real.txt", 10, 'r'), files->path("link.txt")));
    SingleFileWidget tile(files->path("link.txt"));
    tile.setName("copy.txt");
    tile.makeFileCopy("copy.txt");
    QVERIFY(!QFileInfo(FileFixture::work("copy.txt")).isSymLink());
    QCOMPARE(FileFixture::contents(FileFixture::work("copy.txt")), QByteArray(10, 'r'));
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
    QCOMPARE(answer.text(), QStringLiteral("The file could not be copied under the new name"));
    QCOMPARE(changed.count(), 0);
    QCOMPARE(tile.getName(), QStringLiteral("src"));
    QCOMPARE(FileFixture::tree(WorkFolder::path()), QStringList());
}

QTEST_MAIN(TestSingleFileWidget)
#include "tst_singlefilewidget.moc"
