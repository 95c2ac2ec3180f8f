// SPDX-License-Identifier: MIT
#include "app/startup.h"
#include "mainwindow/mainwidget.h"
#include "testsupport.h"

#include <QApplication>
#include <QDir>
#include <QFontDatabase>
#include <QRect>
#include <QScopeGuard>
#include <QTest>

class TestStartup : public QObject
{
    Q_OBJECT
private slots:
    void cleanup();
    void buildsTheStyledFramelessWindow();
    void missingStyleSheetLeavesAWorkingUnstyledWindow();
    void windowIsPlacedWholeAndCentred_data();
    void windowIsPlacedWholeAndCentred();
};

void TestStartup::cleanup()
{
    qApp->setStyleSheet(QString());
    QTRY_COMPARE(TestSupport::visibleTopLevels(), 0);
}

void TestStartup::buildsTheStyledFramelessWindow()
{
    // A font shipped in fonts/ beside the program is taken; this one stands in for a missing one.
    const QString fonts = QCoreApplication::applicationDirPath() + "/fonts";
    const auto removeFonts = qScopeGuard([&] { QDir(fonts).removeRecursively(); });
    QVERIFY(QDir().mkpath(fonts));
    QVERIFY(QFile::copy("/usr/share/fonts/truetype/noto/NotoSans-Bold.ttf", fonts + "/NotoSans-Bold.ttf"));
    Startup startup(*qApp);
    QCOMPARE(QFontDatabase::applicationFontFamilies(0), QStringList{"Noto Sans"});
    MainWidget *window = startup.mainWindow();
    QCOMPARE(window->size(), QSize(980, 660));
    QCOMPARE(window->windowTitle(), QStringLiteral("Parcelo"));
    QCOMPARE(window->parentWidget(), nullptr);
    QVERIFY(window->windowFlags().testFlag(Qt::FramelessWindowHint));
    QVERIFY(!window->windowIcon().isNull());
    QVERIFY(!QApplication::windowIcon().isNull());
    QVERIFY(qApp->styleSheet().contains(QStringLiteral("#Compress {")));
    startup.show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
}

void TestStartup::missingStyleSheetLeavesAWorkingUnstyledWindow()
{
    Q_CLEANUP_RESOURCE(resources);
    {
        Startup startup(*qApp);
        QCOMPARE(qApp->styleSheet(), QString());
        // Shown, it is made to fit the offscreen platform's 800 x 600 screen.
        QCOMPARE(startup.mainWindow()->size(), QSize(980, 660));
        startup.show();
        QVERIFY(QTest::qWaitForWindowExposed(startup.mainWindow()));
    }
    Q_INIT_RESOURCE(resources);
}

// The 980 x 660 window, at least 700 x 500, on screens given by the area they leave free.
void TestStartup::windowIsPlacedWholeAndCentred_data()
{
    QTest::addColumn<QRect>("available");
    QTest::addColumn<QRect>("place");
    QTest::newRow("room to spare") << QRect(0, 0, 1920, 1040) << QRect(470, 190, 980, 660);
    QTest::newRow("1024 x 600") << QRect(0, 0, 1024, 600) << QRect(22, 0, 980, 600);
    QTest::newRow("1366 x 768 at 125 %") << QRect(0, 0, 1093, 584) << QRect(56, 0, 980, 584);
    QTest::newRow("second screen, taskbar above") << QRect(1920, 40, 1280, 984) << QRect(2070, 202, 980, 660);
    QTest::newRow("smaller than the least size") << QRect(-800, 0, 640, 440) << QRect(-800, 0, 700, 500);
}

void TestStartup::windowIsPlacedWholeAndCentred()
{
    QFETCH(QRect, available);
    QTEST(Startup::placement(QSize(980, 660), QSize(700, 500), available), "place");
}

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
