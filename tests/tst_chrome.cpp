// SPDX-License-Identifier: MIT
#include "chrome/frameless.h"
#include "chrome/headerwidget.h"
#include "chrome/helpwidget.h"
#include "chrome/platformpointer.h"
#include "chrome/titlebarbounds.h"
#include "mainwindow/mainwidget.h"
#include "testsupport.h"

#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include <climits>
#include <cstring>

const QRect start(100, 100, 400, 300);

static void sendMouse(QWidget *to, QEvent::Type type, QPoint global, Qt::MouseButton button, Qt::MouseButtons buttons)
{
    QMouseEvent event(type, to->mapFromGlobal(global), global, button, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(to, &event);
}

// A shown window at `start`, at least 200 x 150, managed by its own helper.
struct Managed : QWidget
{
    FrameLess helper{this};
    Managed()
    {
        setMinimumSize(200, 150);
        setGeometry(start);
        show();
    }
};

class TestChrome : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { QTRY_COMPARE(TestSupport::visibleTopLevels(), 0); }

    void hitTestKeepsEveryBound()
    {
        using E = FrameLess::Edge;
        // Each zone's inner and outer bound, then just past it, on x 100 to 500, y 100 to 400; sides beat corners.
        const QList<std::tuple<int, int, E>> rows{
            {95, 250, E::Left},     {94, 250, E::None},      {105, 250, E::Left},       {106, 250, E::None},
            {500, 250, E::Right},   {501, 250, E::None},     {495, 250, E::Right},      {494, 250, E::None},
            {300, 100, E::Top},     {300, 99, E::None},      {300, 105, E::Top},        {300, 106, E::None},
            {300, 400, E::Bottom},  {300, 401, E::None},     {300, 395, E::Bottom},     {300, 394, E::None},
            {100, 100, E::TopLeft}, {500, 100, E::TopRight}, {100, 400, E::BottomLeft}, {500, 400, E::BottomRight},
            {105, 105, E::Left},    {104, 104, E::TopLeft}};
        for (const auto &[x, y, edge] : rows)
            QVERIFY2(FrameLess::hitTest({x, y}, start) == edge, qPrintable(QStringLiteral("(%1, %2)").arg(x).arg(y)));
    }

    void drag_data()
    {
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::addColumn<QLine>("stroke");
        QTest::addColumn<QRect>("expected");
        // On x 100 to 499, y 100 to 399, the dragged side follows the pointer; past the minimum size it stays put
        // instead of sliding the window along.
        QTest::newRow("right") << Qt::LeftButton << QLine(499, 250, 539, 250) << QRect(100, 100, 440, 300);
        QTest::newRow("top-left") << Qt::LeftButton << QLine(100, 100, 90, 84) << QRect(90, 84, 410, 316);
        QTest::newRow("bottom-left") << Qt::LeftButton << QLine(100, 399, 90, 415) << QRect(90, 100, 410, 316);
        QTest::newRow("surface moves") << Qt::LeftButton << QLine(300, 250, 330, 270) << start.translated(30, 20);
        QTest::newRow("left past minimum") << Qt::LeftButton << QLine(100, 250, 400, 250) << start;
        QTest::newRow("top past minimum") << Qt::LeftButton << QLine(300, 100, 300, 330) << start;
        QTest::newRow("right button") << Qt::RightButton << QLine(101, 250, 141, 280) << start;
        // The screen's available area begins at the top; the title bar stays below it.
        QTest::newRow("surface above the top") << Qt::LeftButton << QLine(300, 250, 300, 50) << QRect(100, 0, 400, 300);
        QTest::newRow("top above the top") << Qt::LeftButton << QLine(300, 100, 300, -20) << QRect(100, 0, 400, 400);
    }

    void drag()
    {
        QFETCH(Qt::MouseButton, button);
        QFETCH(QLine, stroke);
        Managed m;
        sendMouse(&m, QEvent::MouseButtonPress, stroke.p1(), button, button);
        sendMouse(&m, QEvent::MouseMove, stroke.p2(), Qt::NoButton, button);
        QTEST(m.frameGeometry(), "expected");
        sendMouse(&m, QEvent::MouseButtonRelease, stroke.p2(), button, Qt::NoButton);
        sendMouse(&m, QEvent::MouseMove, stroke.p2() + QPoint(40, 30), Qt::NoButton, Qt::NoButton);
        QTEST(m.frameGeometry(), "expected"); // released: the move above changed nothing
    }

    void resizeCursorOnlyWhileNotMaximised()
    {
        Managed m;
        sendMouse(&m, QEvent::MouseMove, {101, 250}, Qt::NoButton, Qt::NoButton);
        QCOMPARE(m.cursor().shape(), Qt::SizeHorCursor);
        m.showMaximized();
        sendMouse(&m, QEvent::MouseMove, m.mapToGlobal(QPoint(1, 50)), Qt::NoButton, Qt::NoButton);
        QCOMPARE(m.cursor().shape(), Qt::ArrowCursor);
    }

    // The bar asks for the window to follow the pointer from the press, never above the screen's top.
    void titleBarDragEndsOnRelease()
    {
        HeaderWidget header;
        QSignalSpy moved(&header, &HeaderWidget::moveWindow);
        sendMouse(&header, QEvent::MouseButtonPress, {50, 20}, Qt::RightButton, Qt::RightButton);
        sendMouse(&header, QEvent::MouseMove, {57, 23}, Qt::NoButton, Qt::RightButton);
        sendMouse(&header, QEvent::MouseMove, {60, -90}, Qt::NoButton, Qt::RightButton);
        sendMouse(&header, QEvent::MouseButtonRelease, {60, -90}, Qt::RightButton, Qt::NoButton);
        sendMouse(&header, QEvent::MouseMove, {80, 50}, Qt::NoButton, Qt::NoButton);
        QCOMPARE(moved.size(), 2);
        QCOMPARE(moved.at(0).at(0).toPoint(), QPoint(7, 3));
        QCOMPARE(moved.at(1).at(0).toPoint(), QPoint(10, 0));
    }

    void highestTop_data()
    {
        QTest::addColumn<QList<QRect>>("available");
        QTest::addColumn<int>("top");
        // The window spans x 100 to 499.
        const QRect panelled(0, 30, 800, 570), upper(0, -600, 800, 600), right(800, 0, 800, 600);
        QTest::newRow("below a top panel") << QList<QRect>{panelled} << 30;
        QTest::newRow("screen above") << QList<QRect>{panelled, upper} << -600;
        QTest::newRow("screen beside, not above") << QList<QRect>{panelled, right} << 30;
        QTest::newRow("no screen under it") << QList<QRect>{right} << INT_MIN;
    }

    void highestTop()
    {
        QFETCH(QList<QRect>, available);
        QTEST(TitleBarBounds::highestTop(start, available), "top");
    }

    // A system drag starts where the platform saw the pointer last: only a press it has seen
    // nothing after will do. Events as the X11 plug-in hands them over.
    void platformTakesOnlyTheLatestPress_data()
    {
        QTest::addColumn<QList<QList<quint32>>>("events"); // kind, time, other window
        QTest::addColumn<bool>("takes");
        enum { press = 4, release = 5, motion = 6, rawMotion = 17, core = 0x100 };
        using Events = QList<QList<quint32>>;
        QTest::newRow("press") << Events{{press, 100, 0}} << true;
        QTest::newRow("core press") << Events{{core | press, 100, 0}} << true;
        QTest::newRow("raw motion after it") << Events{{press, 100, 0}, {rawMotion, 120, 0}} << true;
        QTest::newRow("release after it") << Events{{press, 100, 0}, {release, 100, 0}} << false;
        QTest::newRow("motion after it") << Events{{press, 100, 0}, {motion, 130, 0}} << false;
        QTest::newRow("on another window") << Events{{press, 100, 1}} << false;
        QTest::newRow("an earlier press") << Events{{press, 90, 0}} << false;
    }

    void platformTakesOnlyTheLatestPress()
    {
        QFETCH(QList<QList<quint32>>, events);
        QWidget window;
        window.setGeometry(start);
        window.show();
        const auto windowId = quint32(window.winId());
        for (const QList<quint32> &e : events) {
            char raw[64] = {};
            const quint32 time = e[1], target = windowId + e[2];
            if (e[0] & 0x100) {
                raw[0] = char(e[0] & 0xff);
                std::memcpy(raw + 4, &time, 4);
                std::memcpy(raw + 12, &target, 4);
            } else {
                raw[0] = 35;
                const auto type = quint16(e[0]);
                std::memcpy(raw + 8, &type, 2);
                std::memcpy(raw + 12, &time, 4);
                std::memcpy(raw + 24, &target, 4);
            }
            PlatformPointer::instance().nativeEventFilter("xcb_generic_event_t", raw, nullptr);
        }
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(30, 20), QPointF(30, 20),
                          window.mapToGlobal(QPointF(30, 20)), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        press.setTimestamp(100);
        QTEST(PlatformPointer::instance().startsFrom(&press, &window), "takes");
    }

    // One help window at a time, centred over the main window; Escape closes it.
    void oneHelpWindowCentredEscapeClosesIt()
    {
        MainWidget window;
        window.setGeometry(100, 80, 980, 660);
        window.show();
        QToolButton *helpButton = window.findChild<HeaderWidget *>()->findChildren<QToolButton *>().at(1);
        for (int i = 0; i < 3; ++i)
            QTest::mouseClick(helpButton, Qt::LeftButton);
        QCOMPARE(window.findChildren<HelpWidget *>().size(), 1);
        QPointer<HelpWidget> help = window.findChild<HelpWidget *>();
        QVERIFY((help->geometry().center() - window.geometry().center()).manhattanLength() < 10);
        QTest::keyClick(help, Qt::Key_Escape);
        QTRY_VERIFY(help.isNull());
    }
};

QTEST_MAIN(TestChrome)
#include "tst_chrome.moc"
