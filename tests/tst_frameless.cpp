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

    bool mouse(QEvent::Type type, QPoint global, Qt::MouseButton button, Qt::MouseButtons buttons)
    {
        QMouseEvent event(type, window.mapFromGlobal(global), global, button, buttons, Qt::NoModifier);
        return QCoreApplication::sendEvent(&window, &event);
    }
    bool press(QPoint global, Qt::MouseButton button = Qt::LeftButton)
    {
        return mouse(QEvent::MouseButtonPress, global, button, button);
    }
    bool moveTo(QPoint global, Qt::MouseButtons buttons = Qt::LeftButton)
    {
        return mouse(QEvent::MouseMove, global, Qt::NoButton, buttons);
    }
    bool release(QPoint global, Qt::MouseButton button = Qt::LeftButton)
    {
        return mouse(QEvent::MouseButtonRelease, global, button, Qt::NoButton);
    }
    bool hover(QPoint global)
    {
        const QPoint local = window.mapFromGlobal(global);
        QHoverEvent event(QEvent::HoverMove, local, global, local);
        return QCoreApplication::sendEvent(&window, &event);
    }
    bool leave()
    {
        QEvent event(QEvent::Leave);
        return QCoreApplication::sendEvent(&window, &event);
    }
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
    void cleanup();
    void hitTest_data();
    void hitTest();
    void cursorFollowsZone_data();
    void cursorFollowsZone();
    void noResizeCursorWhileMaximisedOrFullScreen_data();
    void noResizeCursorWhileMaximisedOrFullScreen();
    void otherButtonsChangeNothingAndAreConsumed_data();
    void otherButtonsChangeNothingAndAreConsumed();
    void dragResizesLive_data();
    void dragResizesLive();
    void surfaceDragKeepsGrabbedPointUnderPointer();
    void dragPastMinimumKeepsDraggedSide_data();
    void dragPastMinimumKeepsDraggedSide();
    void topLeftPastMinimumCorrectsOnlyLeft();
    void leaveRestoresCursorOnlyWhenIdle();
    void rubberBandGoesWithHelper();
};

void TestFrameLess::cleanup()
{
    QTRY_COMPARE(TestSupport::visibleTopLevels(), 0);
    QCOMPARE(rubberBands(), 0);
}

void TestFrameLess::hitTest_data()
{
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<FrameLess::Edge>("edge");
    // Frame at x 100, y 100, 400 x 300: x + w = 500 and y + h = 400; the zones are 5 pixels wide.
    const auto row = [](const char *name, int x, int y, FrameLess::Edge edge) {
        QTest::newRow(name) << QPoint(x, y) << edge;
    };
    row("inside", 300, 250, FrameLess::None);
    row("left, 5 outside", 95, 250, FrameLess::Left);
    row("left, 6 outside", 94, 250, FrameLess::None);
    row("left, 5 inside", 105, 250, FrameLess::Left);
    row("left, 6 inside", 106, 250, FrameLess::None);
    row("left, outside at its top end", 95, 105, FrameLess::Left);
    row("left, outside above its top end", 95, 104, FrameLess::None);
    row("left, top end", 100, 105, FrameLess::Left);
    row("left, above its top end", 100, 104, FrameLess::TopLeft);
    row("left, bottom end", 100, 395, FrameLess::Left);
    row("left, below its bottom end", 100, 396, FrameLess::BottomLeft);
    row("right, inner end", 495, 250, FrameLess::Right);
    row("right, before it", 494, 250, FrameLess::None);
    row("right, x + w", 500, 250, FrameLess::Right);
    row("right, x + w + 1", 501, 250, FrameLess::None);
    row("right, top end", 500, 105, FrameLess::Right);
    row("right, above its top end", 500, 104, FrameLess::TopRight);
    row("right, bottom end", 500, 395, FrameLess::Right);
    row("right, below its bottom end", 500, 396, FrameLess::BottomRight);
    row("bottom, inner end", 300, 395, FrameLess::Bottom);
    row("bottom, above it", 300, 394, FrameLess::None);
    row("bottom, y + h", 300, 400, FrameLess::Bottom);
    row("bottom, y + h + 1", 300, 401, FrameLess::None);
    row("bottom, left end", 105, 400, FrameLess::Bottom);
    row("bottom, left of it", 104, 400, FrameLess::BottomLeft);
    row("bottom, right end", 495, 400, FrameLess::Bottom);
    row("bottom, right of it", 496, 400, FrameLess::BottomRight);
    row("top, y", 300, 100, FrameLess::Top);
    row("top, y - 1", 300, 99, FrameLess::None);
    row("top, inner end", 300, 105, FrameLess::Top);
    row("top, below it", 300, 106, FrameLess::None);
    row("top, left end", 105, 100, FrameLess::Top);
    row("top, left of it", 104, 100, FrameLess::TopLeft);
    row("top, right end", 495, 100, FrameLess::Top);
    row("top, right of it", 496, 100, FrameLess::TopRight);
    row("bottom-left, corner", 100, 400, FrameLess::BottomLeft);
    row("bottom-left, left of x", 99, 400, FrameLess::None);
    row("bottom-left, below y + h", 100, 401, FrameLess::None);
    row("bottom-right, corner", 500, 400, FrameLess::BottomRight);
    row("bottom-right, right of x + w", 501, 400, FrameLess::None);
    row("bottom-right, below y + h", 500, 401, FrameLess::None);
    row("top-right, corner", 500, 100, FrameLess::TopRight);
    row("top-right, right of x + w", 501, 100, FrameLess::None);
    row("top-right, above y", 500, 99, FrameLess::None);
    row("top-left, corner", 100, 100, FrameLess::TopLeft);
    row("top-left, left of x", 99, 100, FrameLess::None);
    row("top-left, above y", 100, 99, FrameLess::None);
    row("(x + 5, y + 5) is the left side", 105, 105, FrameLess::Left);
    row("(x + 4, y + 4) is the top-left corner", 104, 104, FrameLess::TopLeft);
    row("(x + w - 5, y + h - 5) is the right side", 495, 395, FrameLess::Right);
}

void TestFrameLess::hitTest()
{
    QFETCH(QPoint, point);
    QFETCH(FrameLess::Edge, edge);
    QWidget window;
    FrameLess helper(&window);
    QCOMPARE(helper.hitTest(point, start), edge);
}

void TestFrameLess::cursorFollowsZone_data()
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

void TestFrameLess::cursorFollowsZone()
{
    QFETCH(QPoint, point);
    QFETCH(Qt::CursorShape, shape);
    Managed m;

    QVERIFY(m.hover(point));
    QCOMPARE(m.cursor(), shape);
    QVERIFY(m.hover(QPoint(300, 250)));
    QCOMPARE(m.cursor(), Qt::ArrowCursor);

    // Moves with no button held shape the cursor as hover moves do.
    QVERIFY(m.moveTo(point, Qt::NoButton));
    QCOMPARE(m.cursor(), shape);
    QVERIFY(m.moveTo(QPoint(300, 250), Qt::NoButton));
    QCOMPARE(m.cursor(), Qt::ArrowCursor);
}

void TestFrameLess::noResizeCursorWhileMaximisedOrFullScreen_data()
{
    QTest::addColumn<bool>("fullScreen");
    QTest::newRow("maximised") << false;
    QTest::newRow("full screen") << true;
}

void TestFrameLess::noResizeCursorWhileMaximisedOrFullScreen()
{
    QFETCH(bool, fullScreen);
    Managed m;
    QVERIFY(m.hover(QPoint(101, 250)));
    QCOMPARE(m.cursor(), Qt::SizeHorCursor);

    if (fullScreen)
        m.window.showFullScreen();
    else
        m.window.showMaximized();
    QTRY_VERIFY(m.window.isFullScreen() || m.window.isMaximized());

    const QRect frame = m.window.frameGeometry();
    for (const QPoint p : {frame.topLeft() + QPoint(1, 50), frame.bottomRight() - QPoint(1, 1)}) {
        QVERIFY(m.hover(p));
        QCOMPARE(m.cursor(), Qt::ArrowCursor);
    }
}

void TestFrameLess::otherButtonsChangeNothingAndAreConsumed_data()
{
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::newRow("right") << Qt::RightButton;
    QTest::newRow("middle") << Qt::MiddleButton;
}

void TestFrameLess::otherButtonsChangeNothingAndAreConsumed()
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

void TestFrameLess::dragResizesLive_data()
{
    QTest::addColumn<QPoint>("pressed");
    QTest::addColumn<QPoint>("drag");
    QTest::addColumn<QRect>("expected");
    // The window spans x 100 to 499 and y 100 to 399; the dragged side follows the pointer.
    QTest::newRow("left") << QPoint(100, 250) << QPoint(-30, 7) << QRect(70, 100, 430, 300);
    QTest::newRow("right") << QPoint(499, 250) << QPoint(40, 0) << QRect(100, 100, 440, 300);
    QTest::newRow("top") << QPoint(300, 100) << QPoint(0, -20) << QRect(100, 80, 400, 320);
    QTest::newRow("bottom") << QPoint(300, 399) << QPoint(3, 25) << QRect(100, 100, 400, 325);
    QTest::newRow("top-left") << QPoint(100, 100) << QPoint(-10, -16) << QRect(90, 84, 410, 316);
    QTest::newRow("top-right") << QPoint(499, 100) << QPoint(10, -16) << QRect(100, 84, 410, 316);
    QTest::newRow("bottom-left") << QPoint(100, 399) << QPoint(-10, 16) << QRect(90, 100, 410, 316);
    QTest::newRow("bottom-right") << QPoint(499, 399) << QPoint(10, 16) << QRect(100, 100, 410, 316);
    QTest::newRow("shrinking") << QPoint(499, 399) << QPoint(-100, -60) << QRect(100, 100, 300, 240);
    QTest::newRow("left, 5 inside") << QPoint(105, 250) << QPoint(10, 0) << QRect(115, 100, 385, 300);
}

void TestFrameLess::dragResizesLive()
{
    QFETCH(QPoint, pressed);
    QFETCH(QPoint, drag);
    QFETCH(QRect, expected);
    Managed m;

    QVERIFY(m.press(pressed));
    QVERIFY(m.moveTo(pressed + drag / 2));
    QVERIFY(m.window.frameGeometry() != start);
    QVERIFY(m.moveTo(pressed + drag));
    QCOMPARE(m.window.frameGeometry(), expected);
    QVERIFY(m.release(pressed + drag));

    // Released: further moves only shape the cursor.
    QVERIFY(m.moveTo(pressed + drag * 2, Qt::NoButton));
    QCOMPARE(m.window.frameGeometry(), expected);
}

void TestFrameLess::surfaceDragKeepsGrabbedPointUnderPointer()
{
    Managed m;
    const QPoint grabbed(300, 250);
    QVERIFY(m.press(grabbed));
    for (const QPoint pointer : {QPoint(330, 270), QPoint(280, 300), QPoint(20, 30)}) {
        QVERIFY(m.moveTo(pointer));
        QCOMPARE(m.window.frameGeometry(), start.translated(pointer - grabbed));
    }
    QVERIFY(m.release(QPoint(20, 30)));
    QVERIFY(m.moveTo(QPoint(60, 60), Qt::NoButton));
    QCOMPARE(m.window.frameGeometry().topLeft(), QPoint(-180, -120));
}

void TestFrameLess::dragPastMinimumKeepsDraggedSide_data()
{
    QTest::addColumn<QPoint>("pressed");
    QTest::addColumn<QPoint>("firstStep");
    QTest::addColumn<QRect>("afterFirst");
    QTest::addColumn<QPoint>("secondStep");
    QTest::addColumn<QRect>("afterSecond");
    // At least 200 x 150; the first step stays above the minimum, the second goes below it.
    QTest::newRow("left side rightwards") << QPoint(100, 250) << QPoint(250, 250) << QRect(250, 100, 250, 300)
                                          << QPoint(400, 250) << QRect(250, 100, 250, 300);
    QTest::newRow("top side downwards") << QPoint(300, 100) << QPoint(300, 200) << QRect(100, 200, 400, 200)
                                        << QPoint(300, 330) << QRect(100, 200, 400, 200);
    QTest::newRow("right side leftwards") << QPoint(499, 250) << QPoint(350, 250) << QRect(100, 100, 251, 300)
                                          << QPoint(150, 250) << QRect(100, 100, 200, 300);
    QTest::newRow("bottom side upwards") << QPoint(300, 399) << QPoint(300, 300) << QRect(100, 100, 400, 201)
                                         << QPoint(300, 120) << QRect(100, 100, 400, 150);
}

void TestFrameLess::dragPastMinimumKeepsDraggedSide()
{
    QFETCH(QPoint, pressed);
    QFETCH(QPoint, firstStep);
    QFETCH(QRect, afterFirst);
    QFETCH(QPoint, secondStep);
    QFETCH(QRect, afterSecond);
    Managed m;

    QVERIFY(m.press(pressed));
    QVERIFY(m.moveTo(firstStep));
    QCOMPARE(m.window.frameGeometry(), afterFirst);
    QVERIFY(m.moveTo(secondStep));
    QCOMPARE(m.window.frameGeometry(), afterSecond);
    QVERIFY(m.release(secondStep));
}

void TestFrameLess::topLeftPastMinimumCorrectsOnlyLeft()
{
    Managed m;
    QVERIFY(m.press(QPoint(100, 100)));
    // Both width (100) and height (50) fall below the minimum: only the left side is held; the
    // toolkit raises the height to 150 below the given top.
    QVERIFY(m.moveTo(QPoint(400, 350)));
    QCOMPARE(m.window.frameGeometry(), QRect(100, 350, 400, 150));
    QVERIFY(m.release(QPoint(400, 350)));
}

void TestFrameLess::leaveRestoresCursorOnlyWhenIdle()
{
    Managed m;
    QVERIFY(m.hover(QPoint(101, 250)));
    QVERIFY(m.leave());
    QCOMPARE(m.cursor(), Qt::ArrowCursor);

    QVERIFY(m.hover(QPoint(101, 250)));
    QVERIFY(m.press(QPoint(101, 250)));
    QVERIFY(m.moveTo(QPoint(80, 250)));
    QVERIFY(m.leave());
    QCOMPARE(m.cursor(), Qt::SizeHorCursor);
    QVERIFY(m.moveTo(QPoint(60, 250)));
    QCOMPARE(m.window.frameGeometry(), QRect(60, 100, 440, 300));
    QVERIFY(m.release(QPoint(60, 250)));
}

void TestFrameLess::rubberBandGoesWithHelper()
{
    {
        Managed m;
        QCOMPARE(rubberBands(), 1);
    }
    QCOMPARE(rubberBands(), 0);
}

QTEST_MAIN(TestFrameLess)
#include "tst_frameless.moc"
