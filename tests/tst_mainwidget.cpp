// SPDX-License-Identifier: MIT
#include "chrome/headerwidget.h"
#include "filefixture.h"
#include "files/filewidget.h"
#include "files/singlefilewidget.h"
#include "files/workfolder.h"
#include "mainwindow/mainwidget.h"
#include "testsupport.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLayout>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

using TestSupport::ModalAnswer;

class TestMainWidget : public QObject
{
    Q_OBJECT
private slots:
    void cleanup();
    void freshWindowShowsEmptyState();
    void sizeLineText_data();
    void sizeLineText();
    void firstPickedFileSetsDestination();
    void cancelledOpenDialogChangesNothing();
    void refusedFirstFileLeavesTheRowHidden();
    void saveDialogChoiceReplacesDestination();
    void typedNameGetsArchiveSuffix_data();
    void typedNameGetsArchiveSuffix();
    void errorShowsSharedMessageBox();
    void buttonsShowPointingHandOnHover();
    void moveEventMovesByDisplacement();
    void styleSheetPaintsButtonsAndBackground();
    void sizeAndDestinationFollowTheList();
    void laterFilesKeepTheDestination();
    void destinationSurvivesRemovals();
    void tabFollowsTheWindowAndReturnPresses();
    void smallestWindowShowsTheGridAndButtons();

private:
    static SingleFileWidget *tileNamed(MainWidget &w, const QString &name);
    static QLabel *sizeLabel(MainWidget &w) { return w.findChild<QLabel *>(QStringLiteral("Size_info")); }
    static QPushButton *destination(MainWidget &w)
    {
        return w.findChild<QPushButton *>(QStringLiteral("Destination_path"));
    }
    static bool destinationRowShown(MainWidget &w) { return !destination(w)->parentWidget()->isHidden(); }
};

void TestMainWidget::cleanup()
{
    QTRY_COMPARE(TestSupport::visibleTopLevels(), 0);
    qApp->setStyleSheet(QString());
}

void TestMainWidget::freshWindowShowsEmptyState()
{
    MainWidget w;
    QCOMPARE(sizeLabel(w)->text(), QStringLiteral("Total size: <b>0.0 MB</b> of 500MB limit"));
    QVERIFY(!destinationRowShown(w));
    QCOMPARE(destination(w)->text(), QStringLiteral("C:/Users/username/Documents/compressed_files"));
    for (const char *name : {"Drag_drop_text", "Browse_for_files", "Size_info", "Adv_widget", "Cancel", "Compress"})
        QVERIFY2(w.findChild<QWidget *>(QLatin1String(name)), name);
    QCOMPARE(w.findChild<QPushButton *>(QStringLiteral("Compress"))->text(), QStringLiteral("Compress"));
    QCOMPARE(w.findChild<QPushButton *>(QStringLiteral("Cancel"))->text(), QStringLiteral("Cancel"));
}

void TestMainWidget::sizeLineText_data()
{
    QTest::addColumn<float>("size");
    QTest::addColumn<QString>("shown");
    const float byte = 1.0f / 1024.0f / 1024.0f;
    QTest::newRow("empty") << 0.0f << "0.0 MB";
    QTest::newRow("ten bytes") << 10 * byte << "1 KB";
    QTest::newRow("half a megabyte") << 0.5f << "513 KB";
    QTest::newRow("just under 1 MB") << 1048575 * byte << "1024 KB";
    QTest::newRow("one megabyte") << 1.0f << "1 MB";
    QTest::newRow("two and a half") << 2.5f << "2.5 MB";
    QTest::newRow("rounded to hundredths") << 12.3456f << "12.35 MB";
    QTest::newRow("halves away from zero") << 1.005f << "1.01 MB";
    QTest::newRow("near the limit") << 499.99f << "499.99 MB";
    QTest::newRow("the limit") << 500.0f << "500 MB";
}

void TestMainWidget::sizeLineText()
{
    QFETCH(float, size);
    QFETCH(QString, shown);
    MainWidget w;
    w.onSizeChanged(size);
    QCOMPARE(sizeLabel(w)->text(), QStringLiteral("Total size: <b>%1</b> of 500MB limit").arg(shown));
}

void TestMainWidget::firstPickedFileSetsDestination()
{
    FileFixture files;
    MainWidget w;
    QSignalSpy added(&w, &MainWidget::addFiles);
    const QStringList picked{files.makeFile("Photos/a.jpg", 10), files.makeFile("Photos/b.jpg", 10)};
    w.setOpenDialog([&](QWidget *parent) {
        [&] { QCOMPARE(parent, &w); }();
        return picked;
    });
    w.onBrowseForFilesClicked();
    QCOMPARE(destination(w)->text(), files.path("Photos/Photos.7z"));
    QVERIFY(destinationRowShown(w));
    QCOMPARE(added.count(), 1);
    QCOMPARE(added.at(0).at(0).toStringList(), picked);
}

void TestMainWidget::cancelledOpenDialogChangesNothing()
{
    MainWidget w;
    QSignalSpy added(&w, &MainWidget::addFiles);
    w.setOpenDialog([](QWidget *) { return QStringList(); });
    w.onBrowseForFilesClicked();
    QCOMPARE(added.count(), 0);
    QVERIFY(!destinationRowShown(w));
    QCOMPARE(destination(w)->text(), QStringLiteral("C:/Users/username/Documents/compressed_files"));
}

void TestMainWidget::refusedFirstFileLeavesTheRowHidden()
{
    FileFixture files;
    MainWidget w;
    w.setOpenDialog([&](QWidget *) { return QStringList{files.makeFile("big/too-big.bin", 501 * 1048576)}; });
    ModalAnswer refusal;
    w.onBrowseForFilesClicked();
    QCOMPARE(refusal.text(), QStringLiteral("You can't add more than 500 MB of files"));
    QVERIFY(!destinationRowShown(w));
}

void TestMainWidget::saveDialogChoiceReplacesDestination()
{
    MainWidget w;
    w.onDestinationPathInit(QStringLiteral("/data/Photos/a.jpg"));
    QString start;
    w.setSaveDialog([&](QWidget *, const QString &from) {
        start = from;
        return QString();
    });
    w.onBrowseDestinationFolderClicked();
    QCOMPARE(start, QStringLiteral("/data/Photos/Photos.7z"));
    QCOMPARE(destination(w)->text(), QStringLiteral("/data/Photos/Photos.7z"));

    w.setSaveDialog([](QWidget *, const QString &) { return QStringLiteral("/out/MyArchive"); });
    QTest::mouseClick(destination(w), Qt::LeftButton);
    QCOMPARE(destination(w)->text(), QStringLiteral("/out/MyArchive.7z"));
}

void TestMainWidget::typedNameGetsArchiveSuffix_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("path");
    QTest::newRow("no extension") << "/out/MyArchive"
                                  << "/out/MyArchive.7z";
    QTest::newRow("7z") << "/out/pack.7z"
                        << "/out/pack.7z";
    QTest::newRow("another extension") << "/out/pack.zip"
                                       << "/out/pack.zip";
    QTest::newRow("dot in a folder name") << "/out/v1.2/pack"
                                          << "/out/v1.2/pack.7z";
    QTest::newRow("trailing dot") << "/out/pack."
                                  << "/out/pack.7z";
}

void TestMainWidget::typedNameGetsArchiveSuffix()
{
    QFETCH(QString, typed);
    QFETCH(QString, path);
    QCOMPARE(MainWidget::withArchiveSuffix(typed), path);
}

void TestMainWidget::errorShowsSharedMessageBox()
{
    MainWidget w;
    Qt::WindowFlags flags;
    Qt::WindowModality modality = Qt::NonModal;
    QSize size;
    ModalAnswer answer([&](QWidget *box) {
        flags = box->windowFlags();
        modality = box->windowModality();
        size = box->size();
        TestSupport::pressButton()(box);
    });
    w.onError(QStringLiteral("You can't add more than 500 MB of files"));
    QCOMPARE(answer.text(), QStringLiteral("You can't add more than 500 MB of files"));
    QCOMPARE(answer.informativeText(), QString());
    QCOMPARE(answer.buttons().size(), 1);
    QCOMPARE(answer.dialog()->objectName(), QStringLiteral("Message_box"));
    QCOMPARE(answer.dialog()->windowTitle(), QStringLiteral("Parcelo"));
    QCOMPARE(answer.dialog()->parentWidget(), nullptr);
    QVERIFY(flags.testFlag(Qt::FramelessWindowHint));
    QCOMPARE(modality, Qt::ApplicationModal);
    QCOMPARE(size, QSize(400, 200));
}

void TestMainWidget::buttonsShowPointingHandOnHover()
{
    MainWidget w;
    for (const char *name : {"Compress", "Cancel", "Browse_for_files"}) {
        auto *button = w.findChild<QPushButton *>(QLatin1String(name));
        QHoverEvent enter(QEvent::HoverEnter, QPointF(5, 5), QPointF(5, 5), QPointF(-1, -1));
        QApplication::sendEvent(button, &enter);
        QCOMPARE(button->cursor().shape(), Qt::PointingHandCursor);
        QHoverEvent leave(QEvent::HoverLeave, QPointF(-1, -1), QPointF(-1, -1), QPointF(5, 5));
        QApplication::sendEvent(button, &leave);
        QCOMPARE(button->cursor().shape(), Qt::ArrowCursor);
    }
}

void TestMainWidget::moveEventMovesByDisplacement()
{
    MainWidget w;
    w.move(100, 50);
    w.onMoveEvent(QPoint(7, -3));
    QCOMPARE(w.pos(), QPoint(107, 47));
}

void TestMainWidget::styleSheetPaintsButtonsAndBackground()
{
    QFile sheet(QStringLiteral(":/qrc/style.qss"));
    QVERIFY(sheet.open(QIODevice::ReadOnly));
    qApp->setStyleSheet(QString::fromLatin1(sheet.readAll()));

    MainWidget w;
    w.resize(980, 660);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));

    auto *compress = w.findChild<QPushButton *>(QStringLiteral("Compress"));
    const QImage button = compress->grab().toImage();
    QCOMPARE(QColor(button.pixel(button.width() / 2, 4)), QColor(0x52, 0x72, 0xBA));

    // Where no child covers the window, its own background picture shows.
    const QImage shown = w.grab().toImage();
    const QImage background(QStringLiteral(":/qrc/background.png"));
    for (const QPoint p : {QPoint(3, 640), QPoint(970, 655), QPoint(20, 400)})
        QCOMPARE(QColor(shown.pixel(p)), QColor(background.pixel(p)));
    // Twice as large, the picture is drawn twice as large, not repeated with a seam.
    w.resize(2 * background.size());
    const QImage doubled = w.grab().toImage();
    for (const QPoint p : {QPoint(3, 640), QPoint(970, 655), QPoint(20, 400), QPoint(500, 770)}) {
        const QColor a = doubled.pixel(2 * p + QPoint(1, 1)), b = background.pixel(p);
        QVERIFY2(qAbs(a.red() - b.red()) + qAbs(a.green() - b.green()) + qAbs(a.blue() - b.blue()) < 12,
                 qPrintable(a.name() + QLatin1String(" vs ") + b.name()));
    }
    w.resize(980, 660);

    // The destination path shows on the window's own background, not on a dark button panel.
    FileFixture files;
    w.setOpenDialog([&](QWidget *) { return QStringList{files.makeFile("Photos/a.jpg", 10)}; });
    w.onBrowseForFilesClicked();
    QCoreApplication::processEvents();
    const QPoint pathStart = destination(w)->mapTo(&w, QPoint(1, destination(w)->height() / 2));
    QVERIFY2(QColor(w.grab().toImage().pixel(pathStart)).lightness() > 200, "dark panel behind the destination path");
    w.close();
}

SingleFileWidget *TestMainWidget::tileNamed(MainWidget &w, const QString &name)
{
    for (SingleFileWidget *tile : w.findChildren<SingleFileWidget *>()) {
        if (tile->isVisibleTo(&w) && tile->getName() == name)
            return tile;
    }
    return nullptr;
}

void TestMainWidget::sizeAndDestinationFollowTheList()
{
    FileFixture files;
    // The folder sorts after the temporary directory, so a renamed copy is listed first.
    const QString a = files.makeFile("wedding/a.jpg", 1048576);
    const QString b = files.makeFile("wedding/b.jpg", 1572864);
    MainWidget w;
    auto *panel = w.findChild<FileWidget *>();
    w.setOpenDialog([&](QWidget *) { return QStringList{a, b}; });
    w.onBrowseForFilesClicked();
    QCOMPARE(panel->getFiles(), QStringList({a, b}));
    QCOMPARE(sizeLabel(w)->text(), QStringLiteral("Total size: <b>2.5 MB</b> of 500MB limit"));
    QCOMPARE(destination(w)->text(), files.path("wedding/wedding.7z"));
    QVERIFY(destinationRowShown(w));

    panel->setNameDialog([](QWidget *, const QString &) { return std::optional<QString>("z.jpg"); });
    ModalAnswer noBox;
    tileNamed(w, "a.jpg")->findChild<QPushButton *>()->click();
    QVERIFY(!noBox.seen());
    QCOMPARE(panel->getFiles(), QStringList({FileFixture::work("z.jpg"), b}));
    QCOMPARE(sizeLabel(w)->text(), QStringLiteral("Total size: <b>2.5 MB</b> of 500MB limit"));

    // The rebuild offers the copy first, which is no place for the archive.
    tileNamed(w, "b.jpg")->findChild<QToolButton *>()->click();
    QCOMPARE(sizeLabel(w)->text(), QStringLiteral("Total size: <b>1 MB</b> of 500MB limit"));
    QCOMPARE(destination(w)->text(), files.path("wedding/wedding.7z"));
    QVERIFY(destinationRowShown(w));

    tileNamed(w, "z.jpg")->findChild<QToolButton *>()->click();
    QCOMPARE(sizeLabel(w)->text(), QStringLiteral("Total size: <b>0.0 MB</b> of 500MB limit"));
    QVERIFY(!destinationRowShown(w));
}

void TestMainWidget::laterFilesKeepTheDestination()
{
    FileFixture files;
    MainWidget w;
    auto *panel = w.findChild<FileWidget *>();
    w.setOpenDialog([&](QWidget *) { return QStringList{files.makeFile("first/a.txt", 10)}; });
    w.onBrowseForFilesClicked();

    // Dropped, then picked, from other folders.
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(files.makeFile("second/b.txt", 10))});
    QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(panel, &enter);
    QDropEvent dropped(QPointF(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(panel, &dropped);
    w.setOpenDialog([&](QWidget *) { return QStringList{files.makeFile("third/c.txt", 10)}; });
    w.onBrowseForFilesClicked();
    QCOMPARE(panel->getFiles().size(), 3);
    QCOMPARE(destination(w)->text(), files.path("first/first.7z"));
}

void TestMainWidget::destinationSurvivesRemovals()
{
    FileFixture files;
    const QString a = files.makeFile("one/a.txt", 10);
    const QString b = files.makeFile("two/b.txt", 10);
    MainWidget w;
    auto *panel = w.findChild<FileWidget *>();
    w.setSaveDialog([](QWidget *, const QString &) { return QStringLiteral("/out/pack.7z"); });

    // The default stays through removals, also of the file it was taken from...
    w.setOpenDialog([&](QWidget *) { return QStringList{a, b}; });
    w.onBrowseForFilesClicked();
    panel->removeFile(a);
    QCOMPARE(destination(w)->text(), files.path("one/one.7z"));

    // ...and so does a choice...
    panel->addFile(a);
    w.onBrowseDestinationFolderClicked();
    panel->removeFile(a);
    QCOMPARE(destination(w)->text(), QStringLiteral("/out/pack.7z"));
    QVERIFY(destinationRowShown(w));

    // ...until the list is empty; then the next first file sets the default again.
    panel->removeFile(b);
    w.onBrowseForFilesClicked();
    QCOMPARE(destination(w)->text(), files.path("one/one.7z"));

    // Emptied after a successful run, too.
    w.onBrowseDestinationFolderClicked();
    panel->removeAllFiles();
    w.onBrowseForFilesClicked();
    QCOMPARE(destination(w)->text(), files.path("one/one.7z"));
}

// Tab visits every control from the top of the window down, tiles included; Return presses the
// focused button.
void TestMainWidget::tabFollowsTheWindowAndReturnPresses()
{
    FileFixture files;
    const QString a = files.makeFile("one/a.txt", 10);
    MainWidget w;
    w.setOpenDialog([&](QWidget *) { return QStringList{files.makeFile("one/b.txt", 10), a}; });
    w.onBrowseForFilesClicked();
    w.show();
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));

    QList<QWidget *> expected;
    // Contact, help, minimise and close, as the title bar shows them.
    for (int i = 3; i <= 6; ++i)
        expected << w.findChild<HeaderWidget *>()->layout()->itemAt(i)->widget();
    for (const char *name : {"b.txt", "a.txt"})
        expected << tileNamed(w, name)->findChild<QToolButton *>() << tileNamed(w, name)->findChild<QPushButton *>();
    for (const char *name : {"Browse_for_files", "Destination_path", "Cancel", "Compress"})
        expected << w.findChild<QPushButton *>(QLatin1String(name));

    expected.first()->setFocus(Qt::TabFocusReason);
    QList<QWidget *> visited;
    while (visited.size() < expected.size()) {
        visited << QApplication::focusWidget();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QCOMPARE(visited, expected);
    QCOMPARE(QApplication::focusWidget(), expected.first());

    tileNamed(w, "a.txt")->findChild<QToolButton *>()->setFocus(Qt::TabFocusReason);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(w.findChild<FileWidget *>()->getFiles(), QStringList{files.path("one/b.txt")});
    w.close();
}

// Shrunk as far as it goes, with a scroll bar beside the tiles, a full row and both buttons show.
void TestMainWidget::smallestWindowShowsTheGridAndButtons()
{
    QFile sheet(QStringLiteral(":/qrc/style.qss"));
    QVERIFY(sheet.open(QIODevice::ReadOnly));
    qApp->setStyleSheet(QString::fromLatin1(sheet.readAll()));
    FileFixture files;
    QStringList picked;
    for (int i = 10; i < 25; ++i)
        picked << files.makeFile(QStringLiteral("many/f%1.txt").arg(i), 10);
    MainWidget w;
    w.setOpenDialog([&](QWidget *) { return picked; });
    w.onBrowseForFilesClicked();
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.resize(1, 1);
    QTRY_COMPARE(w.size(), w.minimumSize());

    auto *area = w.findChild<FileWidget *>()->findChild<QScrollArea *>();
    QTRY_VERIFY(area->verticalScrollBar()->isVisible());
    const QRect viewport(area->viewport()->mapTo(&w, QPoint(0, 0)), area->viewport()->size());
    for (const char *name : {"f10.txt", "f16.txt"}) {
        SingleFileWidget *tile = tileNamed(w, name);
        QVERIFY2(viewport.contains(QRect(tile->mapTo(&w, QPoint(0, 0)), tile->rect().size())), name);
    }
    for (const char *name : {"Cancel", "Compress"}) {
        auto *button = w.findChild<QPushButton *>(QLatin1String(name));
        QVERIFY2(w.rect().contains(QRect(button->mapTo(&w, QPoint(0, 0)), button->size())), name);
    }
    w.close();
}

QTEST_MAIN(TestMainWidget)
#include "tst_mainwidget.moc"
