// SPDX-License-Identifier: MIT
#include "chrome/frameless.h"
#include "chrome/headerwidget.h"
#include "chrome/helpwidget.h"
#include "chrome/platformpointer.h"
#include "chrome/titlebarbounds.h"
#include "testsupport.h"

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

    // The bar moves its window by the pointer's travel since the press, never above the screen's top.
    void titleBarDragFollowsThePointer()
    {
        QWidget window;
        window.setGeometry(start);
        auto *header = new HeaderWidget(&window);
        connect(header, &HeaderWidget::moveWindow, &window, [&window](QPoint by) { window.move(window.pos() + by); });
        sendMouse(header, QEvent::MouseButtonPress, {150, 120}, Qt::RightButton, Qt::RightButton);
        for (const QPoint to : {QPoint(157, 123), QPoint(160, 124), QPoint(160, -90)})
            sendMouse(header, QEvent::MouseMove, to, Qt::NoButton, Qt::RightButton);
        QCOMPARE(window.pos(), QPoint(110, 0));
    }

    // The highest top for a window on x 100 to 499: that of the available areas above its columns.
    void highestTop()
    {
        const QRect panelled(0, 30, 800, 570), upper(0, -600, 800, 600), beside(800, 0, 800, 600);
        QCOMPARE(TitleBarBounds::highestTop(start, {panelled}), 30);
        QCOMPARE(TitleBarBounds::highestTop(start, {panelled, upper}), -600);
        QCOMPARE(TitleBarBounds::highestTop(start, {panelled, beside}), 30);
        QCOMPARE(TitleBarBounds::highestTop(start, {beside}), INT_MIN);
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
        for (const QList<quint32> &e : events) {
            char raw[64] = {};
            const auto put = [&raw](int at, auto value) { std::memcpy(raw + at, &value, sizeof value); };
            const quint32 time = e[1], target = quint32(window.winId()) + e[2];
            if (e[0] & 0x100) { // a core event: its code, time at byte 4, window at 12
                put(0, quint8(e[0])), put(4, time), put(12, target);
            } else { // an XInput 2 event: generic event 35, its type at byte 8, time at 12, window at 24
                put(0, quint8(35)), put(8, quint16(e[0])), put(12, time), put(24, target);
            }
            PlatformPointer::instance().nativeEventFilter("xcb_generic_event_t", raw, nullptr);
        }
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(30, 20), QPointF(30, 20),
                          window.mapToGlobal(QPointF(30, 20)), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        press.setTimestamp(100);
#ifdef Q_OS_WIN
        // Windows takes the press itself while its button is held, and none is held here.
        QVERIFY(!PlatformPointer::instance().startsFrom(&press, &window));
#else
        QTEST(PlatformPointer::instance().startsFrom(&press, &window), "takes");
#endif
    }

    // The bar's buttons are named for tooltips and screen readers and, like a frame's, keep the focus
    // where it was when clicked. One help window at a time, centred over the main window; Escape closes it.
    void barButtonsAndHelpWindow()
    {
        HeaderWidget window;
        window.setGeometry(100, 80, 980, 74);
        window.show();
        const QList<QToolButton *> buttons = window.findChildren<QToolButton *>();
        const QStringList names{"Contact us", "Help", "Minimise", "Close"};
        for (int i = 0; i < names.size(); ++i)
            QVERIFY(buttons.at(i)->toolTip() == names.at(i) && buttons.at(i)->accessibleName() == names.at(i));
        for (int i = 0; i < 3; ++i)
            QTest::mouseClick(buttons.at(1), Qt::LeftButton);
        QVERIFY(window.focusWidget() != buttons.at(1));
        QCOMPARE(window.findChildren<HelpWidget *>().size(), 1);
        QPointer<HelpWidget> help = window.findChild<HelpWidget *>();
        QVERIFY((help->geometry().center() - window.geometry().center()).manhattanLength() < 10);
        QTest::keyClick(help, Qt::Key_Escape);
        QTRY_VERIFY(help.isNull());
    }
};

QTEST_MAIN(TestChrome)
#include "tst_chrome.moc"
