// SPDX-License-Identifier: MIT
#include "chrome/frameless.h"
#include "testsupport.h"

#include <QApplication>
#include <QHoverEvent>
#include <QMouseEvent>
#include <QRubberBand>
#include <QTest>

namespace {

const QRect start(100, 100, 400, 300);

// A managed window that counts the presses that reach it past the helper.
class Probe : public QWidget
{
public:
    int presses = 0;

protected:
    void mousePressEvent(QMouseEvent *) override { ++presses; }
};

// A shown 400 x 300 window at (100, 100), at least 200 x 150, managed by its own helper.
struct Managed
{
    Probe window;
    FrameLess helper{&window};

    Managed()
    {
        window.setMinimumSize(200, 150);
        window.setGeometry(start);
        window.show();
    }

    bool send(QEvent &&event) { return QCoreApplication::sendEvent(&window, &event); }
    bool mouse(QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons buttons)
    {
        return send(QMouseEvent(type, window.mapFromGlobal(at), at, button, buttons, Qt::NoModifier));
    }
    bool press(QPoint at, Qt::MouseButton b = Qt::LeftButton) { return mouse(QEvent::MouseButtonPress, at, b, b); }
    bool moveTo(QPoint at, Qt::MouseButtons b = Qt::LeftButton) { return mouse(QEvent::MouseMove, at, {}, b); }
    bool release(QPoint at, Qt::MouseButton b = Qt::LeftButton) { return mouse(QEvent::MouseButtonRelease, at, b, {}); }
    bool hover(QPoint at)
    {
        return send(QHoverEvent(QEvent::HoverMove, window.mapFromGlobal(at), at, window.mapFromGlobal(at)));
    }
    bool leave() { return send(QEvent(QEvent::Leave)); }
    // A window whose cursor is unset reports the arrow.
    Qt::CursorShape cursor() const { return window.cursor().shape(); }
};

int rubberBands()
{
    int count = 0;
    for (QWidget *widget : QApplication::topLevelWidgets())
        count += qobject_cast<QRubberBand *>(widget) ? 1 : 0;
    return count;
}

} // namespace

class TestFrameLess : public QObject
{
    Q_OBJECT
private slots:
    void cleanup()
    {
        QTRY_COMPARE(TestSupport::visibleTopLevels(), 0);
        QCOMPARE(rubberBands(), 0); // the rubber band goes with its helper
    }

    void hitTest_data()
    {
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<FrameLess::Edge>("edge");
        // Frame at x 100, y 100, 400 x 300: x + w = 500 and y + h = 400; the zones are 5 pixels wide.
        // Each line is one bound of the hit table: a point on it, then the point just past it.
        const auto bound = [](const char *name, QPoint on, FrameLess::Edge onEdge, QPoint past,
                              FrameLess::Edge pastEdge) {
            QTest::addRow("%s, on", name) << on << onEdge;
            QTest::addRow("%s, past", name) << past << pastEdge;
        };
        using E = FrameLess::Edge;
        bound("left, x - 5", {95, 250}, E::Left, {94, 250}, E::None);
        bound("left, x + 5", {105, 250}, E::Left, {106, 250}, E::None);
        bound("left, y + 5", {100, 105}, E::Left, {100, 104}, E::TopLeft);
        bound("left, y + h - 5", {100, 395}, E::Left, {100, 396}, E::BottomLeft);
        bound("right, x + w - 5", {495, 250}, E::Right, {494, 250}, E::None);
        bound("right, x + w", {500, 250}, E::Right, {501, 250}, E::None);
        bound("right, y + 5", {500, 105}, E::Right, {500, 104}, E::TopRight);
        bound("right, y + h - 5", {500, 395}, E::Right, {500, 396}, E::BottomRight);
        bound("bottom, y + h - 5", {300, 395}, E::Bottom, {300, 394}, E::None);
        bound("bottom, y + h", {300, 400}, E::Bottom, {300, 401}, E::None);
        bound("bottom, x + 5", {105, 400}, E::Bottom, {104, 400}, E::BottomLeft);
        bound("bottom, x + w - 5", {495, 400}, E::Bottom, {496, 400}, E::BottomRight);
        bound("top, y", {300, 100}, E::Top, {300, 99}, E::None);
        bound("top, y + 5", {300, 105}, E::Top, {300, 106}, E::None);
        bound("top, x + 5", {105, 100}, E::Top, {104, 100}, E::TopLeft);
        bound("top, x + w - 5", {495, 100}, E::Top, {496, 100}, E::TopRight);
        bound("bottom-left, x", {100, 400}, E::BottomLeft, {99, 400}, E::None);
        bound("bottom-left, y + h", {100, 400}, E::BottomLeft, {100, 401}, E::None);
        bound("bottom-right, x + w", {500, 400}, E::BottomRight, {501, 400}, E::None);
        bound("bottom-right, y + h", {500, 400}, E::BottomRight, {500, 401}, E::None);
        bound("top-right, x + w", {500, 100}, E::TopRight, {501, 100}, E::None);
        bound("top-right, y", {500, 100}, E::TopRight, {500, 99}, E::None);
        bound("top-left, x", {100, 100}, E::TopLeft, {99, 100}, E::None);
        bound("top-left, y", {100, 100}, E::TopLeft, {100, 99}, E::None);
        // Sides come before corners: (x + 5, y + 5) is the left side, (x + 4, y + 4) the corner.
        bound("left before top-left", {105, 105}, E::Left, {104, 104}, E::TopLeft);
        QTest::newRow("(x + w - 5, y + h - 5) is the right side") << QPoint(495, 395) << E::Right;
    }

    void hitTest()
    {
        QFETCH(QPoint, point);
        QFETCH(FrameLess::Edge, edge);
        QWidget window;
        QCOMPARE(FrameLess(&window).hitTest(point, start), edge);
    }

    void cursorFollowsZone_data()
    {
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<Qt::CursorShape>("shape");
        QTest::newRow("top") << QPoint(300, 101) << Qt::SizeVerCursor;
        QTest::newRow("bottom") << QPoint(300, 398) << Qt::SizeVerCursor;
        QTest::newRow("left") << QPoint(101, 250) << Qt::SizeHorCursor;
        QTest::newRow("right") << QPoint(498, 250) << Qt::SizeHorCursor;
        QTest::newRow("top-left") << QPoint(101, 101) << Qt::SizeFDiagCursor;
        QTest::newRow("bottom-right") << QPoint(498, 398) << Qt::SizeFDiagCursor;
        QTest::newRow("top-right") << QPoint(498, 101) << Qt::SizeBDiagCursor;
        QTest::newRow("bottom-left") << QPoint(101, 398) << Qt::SizeBDiagCursor;
    }

    // Hover events and moves with no button held both shape the cursor; leaving restores it.
    void cursorFollowsZone()
    {
        QFETCH(QPoint, point);
        QFETCH(Qt::CursorShape, shape);
        Managed m;
        QVERIFY(m.hover(point));
        QCOMPARE(m.cursor(), shape);
        QVERIFY(m.leave());
        QCOMPARE(m.cursor(), Qt::ArrowCursor);
        QVERIFY(m.moveTo(point, Qt::NoButton));
        QCOMPARE(m.cursor(), shape);
        QVERIFY(m.hover(QPoint(300, 250)));
        QCOMPARE(m.cursor(), Qt::ArrowCursor);
    }

    void noResizeCursorWhileMaximisedOrFullScreen_data()
    {
        QTest::addColumn<bool>("fullScreen");
        QTest::newRow("maximised") << false;
        QTest::newRow("full screen") << true;
    }

    void noResizeCursorWhileMaximisedOrFullScreen()
    {
        QFETCH(bool, fullScreen);
        Managed m;
        QVERIFY(m.hover(QPoint(101, 250)));
        QCOMPARE(m.cursor(), Qt::SizeHorCursor);
        fullScreen ? m.window.showFullScreen() : m.window.showMaximized();
        QTRY_VERIFY(m.window.isFullScreen() || m.window.isMaximized());

        const QRect frame = m.window.frameGeometry();
        for (const QPoint p : {frame.topLeft() + QPoint(1, 50), frame.bottomRight() - QPoint(1, 1)}) {
            QVERIFY(m.hover(p));
            QCOMPARE(m.cursor(), Qt::ArrowCursor);
        }
    }

    void otherButtonsChangeNothingAndAreConsumed_data()
    {
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::newRow("right") << Qt::RightButton;
        QTest::newRow("middle") << Qt::MiddleButton;
    }

    void otherButtonsChangeNothingAndAreConsumed()
    {
        QFETCH(Qt::MouseButton, button);
        Managed m;
        // On a side and inside: neither a resize nor a move starts.
        for (const QPoint p : {QPoint(101, 250), QPoint(300, 250)}) {
            QVERIFY(m.press(p, button));
            QVERIFY(m.moveTo(p + QPoint(40, 30), button));
            QVERIFY(m.release(p + QPoint(40, 30), button));
            QCOMPARE(m.window.frameGeometry(), start);
        }
        QCOMPARE(m.window.presses, 0);
        // Still idle: a move with no button shapes the cursor.
        QVERIFY(m.moveTo(QPoint(498, 250), Qt::NoButton));
        QCOMPARE(m.cursor(), Qt::SizeHorCursor);
    }

    void drag_data()
    {
        QTest::addColumn<QPoint>("pressed");
        QTest::addColumn<QList<QPoint>>("path");
        QTest::addColumn<QList<QRect>>("expected");
        // The window spans x 100 to 499 and y 100 to 399, at least 200 x 150; the dragged side
        // follows the pointer.
        const auto row = [](const char *name, QPoint pressed, QList<QPoint> path, QList<QRect> expected) {
            QTest::newRow(name) << pressed << path << expected;
        };
        row("left", {100, 250}, {{70, 257}}, {{70, 100, 430, 300}});
        row("right", {499, 250}, {{539, 250}}, {{100, 100, 440, 300}});
        row("top", {300, 100}, {{300, 80}}, {{100, 80, 400, 320}});
        row("bottom", {300, 399}, {{303, 424}}, {{100, 100, 400, 325}});
        row("top-left", {100, 100}, {{90, 84}}, {{90, 84, 410, 316}});
        row("top-right", {499, 100}, {{509, 84}}, {{100, 84, 410, 316}});
        row("bottom-left", {100, 399}, {{90, 415}}, {{90, 100, 410, 316}});
        row("bottom-right", {499, 399}, {{509, 415}}, {{100, 100, 410, 316}});
        row("shrinking", {499, 399}, {{399, 339}}, {{100, 100, 300, 240}});
        row("left, 5 inside", {105, 250}, {{115, 250}}, {{115, 100, 385, 300}});
        // The surface moves the window and keeps the grabbed point under the pointer.
        row("surface", {300, 250}, {{330, 270}, {280, 300}, {20, 30}},
            {start.translated(30, 20), start.translated(-20, 50), start.translated(-280, -220)});
        // Past the minimum size the dragged side stays where it was last allowed to be.
        row("left past minimum", {100, 250}, {{250, 250}, {400, 250}}, {{250, 100, 250, 300}, {250, 100, 250, 300}});
        row("top past minimum", {300, 100}, {{300, 200}, {300, 330}}, {{100, 200, 400, 200}, {100, 200, 400, 200}});
        row("right past minimum", {499, 250}, {{350, 250}, {150, 250}}, {{100, 100, 251, 300}, {100, 100, 200, 300}});
        row("bottom past minimum", {300, 399}, {{300, 300}, {300, 120}}, {{100, 100, 400, 201}, {100, 100, 400, 150}});
        // Width and height both fall below the minimum: only the left side is held; the toolkit
        // raises the height to 150 below the given top.
        row("top-left past minimum", {100, 100}, {{400, 350}}, {{100, 350, 400, 150}});
    }

    void drag()
    {
        QFETCH(QPoint, pressed);
        QFETCH(QList<QPoint>, path);
        QFETCH(QList<QRect>, expected);
        Managed m;
        QCOMPARE(rubberBands(), 1);
        QVERIFY(m.hover(pressed));
        const Qt::CursorShape shape = m.cursor();
        QVERIFY(m.press(pressed));
        for (int i = 0; i < path.size(); ++i) {
            QVERIFY(m.moveTo(path[i]));
            QCOMPARE(m.window.frameGeometry(), expected[i]);
            // Leaving during the drag changes nothing, neither the cursor nor the drag.
            QVERIFY(m.leave());
            QCOMPARE(m.cursor(), shape);
        }
        QVERIFY(m.release(path.last()));
        // Released: further moves only shape the cursor.
        QVERIFY(m.moveTo(path.last() + QPoint(40, 30), Qt::NoButton));
        QCOMPARE(m.window.frameGeometry(), expected.last());
    }
};

QTEST_MAIN(TestFrameLess)
#include "tst_frameless.moc"
