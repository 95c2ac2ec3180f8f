// SPDX-License-Identifier: MIT
#include "app/startup.h"
#include "mainwindow/mainwidget.h"
#include "testsupport.h"

#include <QApplication>
#include <QTest>

class TestStartup : public QObject
{
    Q_OBJECT
private slots:
    void cleanup();
    void buildsTheStyledFramelessWindow();
    void missingStyleSheetLeavesAWorkingUnstyledWindow();
};

void TestStartup::cleanup()
{
    qApp->setStyleSheet(QString());
    QTRY_COMPARE(TestSupport::visibleTopLevels(), 0);
}

void TestStartup::buildsTheStyledFramelessWindow()
{
    Startup startup(*qApp);
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
        startup.show();
        QVERIFY(QTest::qWaitForWindowExposed(startup.mainWindow()));
        QCOMPARE(startup.mainWindow()->size(), QSize(980, 660));
    }
    Q_INIT_RESOURCE(resources);
}

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
