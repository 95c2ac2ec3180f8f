// SPDX-License-Identifier: MIT
#include "app/startup.h"
#include "chrome/headerwidget.h"
#include "filefixture.h"
#include "files/filewidget.h"
#include "files/singlefilewidget.h"
#include "mainwindow/compressionjob.h"
#include "mainwindow/mainwidget.h"
#include "testsupport.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>
#include <QToolButton>

class TestMainWindow : public QObject
{
    Q_OBJECT
private slots:
    void cleanup()
    {
        qApp->setStyleSheet(QString());
        QTRY_COMPARE(TestSupport::visibleTopLevels(), 0);
    }

    void sizeText_data()
    {
        QTest::addColumn<float>("size");
        QTest::addColumn<QString>("shown");
        const float byte = 1.0f / 1024.0f / 1024.0f;
        QTest::newRow("empty") << 0.0f << "0.0 MB";
        QTest::newRow("ten bytes") << 10 * byte << "1 KB";
        QTest::newRow("just under 1 MB") << 1048575 * byte << "1024 KB";
        QTest::newRow("one megabyte") << 1.0f << "1 MB";
        QTest::newRow("rounded to hundredths") << 12.3456f << "12.35 MB";
    }

    void sizeText()
    {
        QFETCH(float, size);
        QFETCH(QString, shown);
        QCOMPARE(MainWidget::sizeText(size), QStringLiteral("Total size: <b>%1</b> of 500MB limit").arg(shown));
    }

    void archiveSuffix_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("path");
        // A name with an extension stays; Windows drops a trailing dot, so "pack." is "pack".
        const QList<QPair<QString, QString>> rows{{"/out/MyArchive", "/out/MyArchive.7z"},
                                                  {"/out/pack.zip", "/out/pack.zip"},
                                                  {"/out/v1.2/pack", "/out/v1.2/pack.7z"},
                                                  {"/out/pack.", "/out/pack.7z"}};
        for (const auto &[typed, path] : rows)
            QTest::newRow(qPrintable(typed)) << typed << path;
    }

    void archiveSuffix()
    {
        QFETCH(QString, typed);
        QTEST(MainWidget::withArchiveSuffix(typed), "path");
    }

    void placement_data()
    {
        QTest::addColumn<QRect>("available");
        QTest::addColumn<QRect>("place");
        QTest::newRow("1024 x 600") << QRect(0, 0, 1024, 600) << QRect(22, 0, 980, 600);
        QTest::newRow("second screen, taskbar above") << QRect(1920, 40, 1280, 984) << QRect(2070, 202, 980, 660);
        QTest::newRow("smaller than the least size") << QRect(-800, 0, 640, 440) << QRect(-800, 0, 640, 440);
    }

    void placement()
    {
        QFETCH(QRect, available);
        QTEST(Startup::placement(QSize(980, 660), QSize(700, 500), available), "place");
    }

    // The first listed file sets the destination, shown only while something is listed; a choice in
    // the save dialog replaces it, unless it lies in the folder of the renamed copies. Either stays
    // through removals and later files until the list empties.
    void destinationStaysUntilTheListEmpties()
    {
        FileFixture files;
        const QString a = files.makeFile("one/a.txt", 10), b = files.makeFile("two/b.txt", 10);
        MainWidget w;
        auto *panel = w.findChild<FileWidget *>();
        auto *path = w.findChild<QPushButton *>(QStringLiteral("Destination_path"));

        // A refused first file leaves the row hidden; the box keeps its size whatever its text.
        w.setOpenDialog([&](QWidget *) { return QStringList{files.makeFile("big/too-big.bin", 501 * 1048576)}; });
        TestSupport::ModalAnswer refusal;
        w.onBrowseForFilesClicked();
        QCOMPARE(refusal.text(), QStringLiteral("You can't add more than 500 MB of files"));
        QCOMPARE(refusal.dialog()->size(), QSize(400, 200));
        QVERIFY(!path->isVisibleTo(&w));

        w.setOpenDialog([&](QWidget *) { return QStringList{a}; });
        w.onBrowseForFilesClicked();
        w.setOpenDialog([&](QWidget *) { return QStringList{b}; });
        w.onBrowseForFilesClicked();
        QVERIFY(path->isVisibleTo(&w));
        QCOMPARE(path->text(), QDir::toNativeSeparators(files.path("one/one.7z")));
        panel->removeFile(a);
        QCOMPARE(path->text(), QDir::toNativeSeparators(files.path("one/one.7z")));

        POSIX_ONLY(); // what follows goes through a link
        QVERIFY(WorkFolder::ensure() && QFile::link(WorkFolder::path(), files.path("copies")));
        w.setSaveDialog([&](QWidget *, const QString &) { return files.path("copies/MyArchive"); });
        TestSupport::ModalAnswer ownFolder;
        QTest::mouseClick(path, Qt::LeftButton);
        QCOMPARE(ownFolder.text(), "Please choose another folder for the archive.");
        QCOMPARE(path->text(), QDir::toNativeSeparators(files.path("one/one.7z")));

        // The save dialog starts on the destination; here the name typed into it gets ".7z".
        w.setSaveDialog([](QWidget *, const QString &from) { return from.chopped(3) + "-pack"; });
        QTest::mouseClick(path, Qt::LeftButton);
        panel->addFile(a);
        panel->removeFile(b);
        QCOMPARE(path->text(), QDir::toNativeSeparators(files.path("one/one-pack.7z")));

        panel->removeFile(a);
        QVERIFY(!path->isVisibleTo(&w));
        w.onBrowseForFilesClicked();
        QCOMPARE(path->text(), QDir::toNativeSeparators(files.path("two/two.7z")));
    }

    // Packing a folder twice: the name Parcelo made up gives way to the first free one, when the list
    // is made and again at "Compress"; a name the user chose is never changed.
    void takenDefaultNameGivesWayChosenOneStays()
    {
        FileFixture files;
        const QString a = files.makeFile("Holiday/a.txt", 10);
        files.makeFile("Holiday/Holiday.7z", 10);
        MainWidget w;
        // On Windows the util/7z.exe beside the tests serves.
        if (const QString sevenZip = QStandardPaths::findExecutable("7zz"); !sevenZip.isEmpty())
            w.findChild<CompressionJob *>()->setProgram(sevenZip);
        auto *path = w.findChild<QPushButton *>(QStringLiteral("Destination_path"));
        w.setOpenDialog([&](QWidget *) { return QStringList{a}; });
        w.onBrowseForFilesClicked();
        QCOMPARE(path->text(), QDir::toNativeSeparators(files.path("Holiday/Holiday (2).7z")));

        files.makeFile("Holiday/Holiday (2).7z", 10);
        TestSupport::ModalAnswer success;
        w.onCompressClicked();
        QCOMPARE(success.informativeText(),
                 "7z file is saved in " + QDir::toNativeSeparators(files.path("Holiday/Holiday (3).7z")));
        QVERIFY(QFileInfo(files.path("Holiday/Holiday (3).7z")).size() > 10);

        w.onBrowseForFilesClicked();
        w.setSaveDialog([&](QWidget *, const QString &) { return files.path("Holiday/Holiday.7z"); });
        w.onBrowseDestinationFolderClicked();
        TestSupport::ModalAnswer taken;
        w.onCompressClicked();
        QCOMPARE(taken.text(), "File with this name already exists");
        QCOMPARE(taken.informativeText(), "Click the destination path to choose another name.");
        QCOMPARE(path->text(), QDir::toNativeSeparators(files.path("Holiday/Holiday.7z")));
    }

    // The open dialog's "All files (*.*)" shows files without an extension too.
    void openDialogShowsEveryFile()
    {
        FileFixture files;
        files.makeFile("d/README", 1);
        files.makeFile("d/a.txt", 1);
        QFileDialog dialog(nullptr, QString(), files.path("d"), MainWidget::openFilter());
        dialog.setOptions(MainWidget::openOptions() | QFileDialog::DontUseNativeDialog);
        dialog.show();
        auto *view = dialog.findChild<QListView *>(QStringLiteral("listView"));
        QTRY_COMPARE(view->model()->rowCount(view->rootIndex()), 2);
        QCOMPARE(dialog.findChild<QComboBox *>(QStringLiteral("fileTypeCombo"))->currentText(), "All files (*.*)");
    }

    // As the program starts it, with its sheet: "Compress" in the sheet's font and the background picture are painted,
    // no button draws a dark native panel, and the smallest window still shows a full row of tiles and both buttons.
    void startedWindowIsStyledWithoutDarkPanelsDownToItsSmallest()
    {
        FileFixture files;
        Startup startup(*qApp);
        MainWidget &w = *startup.mainWindow();
        w.setOpenDialog([&](QWidget *) { return QStringList{files.makeFile("Photos/a.jpg", 10)}; });
        w.onBrowseForFilesClicked();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        if (QWidget *focused = QApplication::focusWidget())
            focused->clearFocus(); // a focused button has a mark of its own

        const QImage compress = w.findChild<QPushButton *>(QStringLiteral("Compress"))->grab().toImage();
        QCOMPARE(QColor(compress.pixel(compress.width() / 2, 4)), QColor(0x52, 0x72, 0xBA));
        const QList<QWidget *> texts{w.findChild<QPushButton *>("Compress"), w.findChild<QLabel *>("Size_info"),
                                     w.findChild<HeaderWidget *>()->findChildren<QLabel *>().last()};
        for (QWidget *text : texts)
            QCOMPARE(text->font().family(), "Noto Sans");
        const QImage shown = w.grab().toImage();
        const QImage background(QStringLiteral(":/qrc/background.png"));
        for (const QPoint p : {QPoint(3, 640), QPoint(970, 655), QPoint(20, 400)})
            QCOMPARE(QColor(shown.pixel(p)), QColor(background.pixel(p)));
        // Around each title bar icon the bar's gradient shows, not a panel of the button's own.
        for (QToolButton *icon : w.findChild<HeaderWidget *>()->findChildren<QToolButton *>()) {
            const QPoint inside = icon->mapTo(&w, QPoint(1, 1));
            QVERIFY(qAbs(QColor(shown.pixel(inside)).lightness() -
                         QColor(shown.pixel(inside - QPoint(0, 4))).lightness()) < 8);
        }
        // The destination path and a tile's name show on the ground beneath them.
#ifndef Q_OS_WIN // offscreen, Windows' style has no theme and paints its plain panels (the real window shows none)
        auto *path = w.findChild<QPushButton *>("Destination_path");
        auto *name = w.findChild<SingleFileWidget *>()->findChild<QPushButton *>();
        for (const QPoint p : {path->mapTo(&w, QPoint(1, path->height() / 2)), name->mapTo(&w, QPoint(3, 2))})
            QVERIFY2(QColor(shown.pixel(p)).lightness() > 200, "a dark panel behind a button");
#endif

        // Shrunk as far as it goes, with a scroll bar beside the tiles, a full row and both buttons show.
        QStringList more;
        for (int i = 10; i < 24; ++i)
            more << files.makeFile(QStringLiteral("Photos/f%1.txt").arg(i), 10);
        w.setOpenDialog([&](QWidget *) { return more; });
        w.onBrowseForFilesClicked();
        w.resize(1, 1);
        QTRY_COMPARE(w.size(), w.minimumSize());
        auto *area = w.findChild<FileWidget *>()->findChild<QScrollArea *>();
        QTRY_VERIFY(area->verticalScrollBar()->isVisible());
        const QRect viewport(area->viewport()->mapTo(&w, QPoint(0, 0)), area->viewport()->size());
        const QList<SingleFileWidget *> tiles = w.findChildren<SingleFileWidget *>();
        for (QWidget *inRow : {tiles.at(0), tiles.at(6)})
            QVERIFY(viewport.contains(QRect(inRow->mapTo(&w, QPoint(0, 0)), QSize(88, 88))));
        QVERIFY(!area->horizontalScrollBar()->isVisible());
        for (QWidget *button : {w.findChild<QWidget *>("Cancel"), w.findChild<QWidget *>("Compress")})
            QVERIFY(w.rect().contains(QRect(button->mapTo(&w, QPoint(0, 0)), button->size())));
    }

    // Without its sheet (resources not registered) the program still makes a working window.
    void missingStyleSheetLeavesAWorkingWindow()
    {
        Q_CLEANUP_RESOURCE(resources);
        {
            Startup startup(*qApp);
            QCOMPARE(qApp->styleSheet(), QString());
            startup.show();
            QVERIFY(QTest::qWaitForWindowExposed(startup.mainWindow()));
        }
        Q_INIT_RESOURCE(resources);
    }

    // Tab goes down the window, tiles included; Return presses the focused button.
    void tabFollowsTheWindowAndReturnPresses()
    {
        FileFixture files;
        MainWidget w;
        w.setOpenDialog([&](QWidget *) { return QStringList{files.makeFile("one/b.txt", 10)}; });
        w.onBrowseForFilesClicked();
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        const QList<QToolButton *> icons = w.findChild<HeaderWidget *>()->findChildren<QToolButton *>();
        QList<QWidget *> expected(icons.begin(), icons.end());
        auto *tile = w.findChild<SingleFileWidget *>();
        expected << tile->findChild<QToolButton *>() << tile->findChild<QPushButton *>();
        for (const char *name : {"Browse_for_files", "Destination_path", "Cancel", "Compress"})
            expected << w.findChild<QPushButton *>(QLatin1String(name));
        expected.first()->setFocus(Qt::TabFocusReason);
        for (QWidget *next : expected) {
            QCOMPARE(QApplication::focusWidget(), next);
            QTest::keyClick(next, Qt::Key_Tab);
        }

        expected.at(4)->setFocus(Qt::TabFocusReason);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QVERIFY(w.findChild<FileWidget *>()->getFiles().isEmpty());
    }
};

// A screen wide enough for the window at its least size; the offscreen platform's own is 800 x 600.
int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" PARCELO_TEST_DATA "/wide-screen.json");
    QApplication app(argc, argv);
    TestMainWindow test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_mainwindow.moc"
