// SPDX-License-Identifier: MIT
#include "chrome/frameless.h"

#include "chrome/systemwindowdrag.h"
#include "chrome/titlebarbounds.h"

#include <QHoverEvent>
#include <QMouseEvent>
#include <QRubberBand>
#include <QWidget>

#include <algorithm>

FrameLess::FrameLess(QWidget *window) : QObject(nullptr), target(window)
{
    target->setAttribute(Qt::WA_MouseTracking);
    target->setWindowFlags(Qt::FramelessWindowHint);
    // Hover moves reach the window also while the pointer is over its children.
    target->setAttribute(Qt::WA_Hover);
    target->installEventFilter(this);
    SystemWindowDrag::watchPointer();
    rubberBand = std::make_unique<QRubberBand>(QRubberBand::Rectangle);
}

FrameLess::~FrameLess() = default;

bool FrameLess::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton)
            handlePress(mouse);
        return true;
    }
    case QEvent::MouseButtonRelease:
        if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
            leftPressed = false;
            dragging = false;
        }
        return true;
    case QEvent::MouseMove:
        handleMouseMove(static_cast<QMouseEvent *>(event));
        return true;
    case QEvent::Leave:
        if (!leftPressed)
            target->unsetCursor();
        return true;
    case QEvent::HoverMove:
        updateCursor(target->mapToGlobal(static_cast<QHoverEvent *>(event)->position().toPoint()));
        return true;
    default:
        return target->eventFilter(watched, event);
    }
}

FrameLess::Edge FrameLess::hitTest(const QPoint &point, const QRect &frame)
{
    const int px = point.x(), py = point.y();
    const int x = frame.x(), y = frame.y(), w = frame.width(), h = frame.height(), m = margin;
    const auto within = [](int low, int value, int high) { return low <= value && value <= high; };

    // Sides before corners, so a point on the border between the two belongs to the side. Only the
    // left zone reaches outside the window.
    if (within(x - m, px, x + m) && within(y + m, py, y + h - m))
        return Left;
    if (within(x + w - m, px, x + w) && within(y + m, py, y + h - m))
        return Right;
    if (within(x + m, px, x + w - m) && within(y + h - m, py, y + h))
        return Bottom;
    if (within(x + m, px, x + w - m) && within(y, py, y + m))
        return Top;
    if (within(x, px, x + m) && within(y + h - m, py, y + h))
        return BottomLeft;
    if (within(x + w - m, px, x + w) && within(y + h - m, py, y + h))
        return BottomRight;
    if (within(x + w - m, px, x + w) && within(y, py, y + m))
        return TopRight;
    if (within(x, px, x + m) && within(y, py, y + m))
        return TopLeft;
    return None;
}

void FrameLess::updateCursor(const QPoint &globalPos)
{
    if (target->isFullScreen() || target->isMaximized()) {
        if (cursorChanged)
            target->unsetCursor();
        return;
    }
    if (leftPressed)
        return;

    hoverEdge = hitTest(globalPos, target->frameGeometry());
    cursorChanged = true;
    switch (hoverEdge) {
    case Top:
    case Bottom:
        target->setCursor(Qt::SizeVerCursor);
        break;
    case Left:
    case Right:
        target->setCursor(Qt::SizeHorCursor);
        break;
    case TopLeft:
    case BottomRight:
        target->setCursor(Qt::SizeFDiagCursor);
        break;
    case TopRight:
    case BottomLeft:
        target->setCursor(Qt::SizeBDiagCursor);
        break;
    case None:
        target->unsetCursor();
        cursorChanged = false;
        break;
    }
}

void FrameLess::handlePress(QMouseEvent *event)
{
    leftPressed = true;
    pressEdge = hitTest(event->globalPosition().toPoint(), target->frameGeometry());
    if (pressEdge != None)
        rubberBand->setGeometry(target->frameGeometry());

    // A press just inside a side both resizes and moves; the two checks are independent.
    const QRect inner = target->rect().marginsRemoved(QMargins(margin, margin, margin, margin));
    const QPoint pos = event->position().toPoint();
    if (inner.contains(pos)) {
        dragging = true;
        dragOrigin = pos;
    }

    if (handOverToPlatform(event)) {
        leftPressed = false;
        dragging = false;
        pressEdge = None;
    }
}

// Wherever the platform offers its own move and resize, it takes the drag.
bool FrameLess::handOverToPlatform(const QMouseEvent *press)
{
    if (pressEdge != None)
        return SystemWindowDrag::startResize(target, toQtEdges(pressEdge), press);
    return dragging && SystemWindowDrag::startMove(target, press);
}

Qt::Edges FrameLess::toQtEdges(Edge edge)
{
    switch (edge) {
    case Left:
        return Qt::LeftEdge;
    case Top:
        return Qt::TopEdge;
    case Right:
        return Qt::RightEdge;
    case Bottom:
        return Qt::BottomEdge;
    case TopLeft:
        return Qt::TopEdge | Qt::LeftEdge;
    case TopRight:
        return Qt::TopEdge | Qt::RightEdge;
    case BottomLeft:
        return Qt::BottomEdge | Qt::LeftEdge;
    case BottomRight:
        return Qt::BottomEdge | Qt::RightEdge;
    case None:
        break;
    }
    return {};
}

void FrameLess::handleMouseMove(QMouseEvent *event)
{
    const QPoint globalPos = event->globalPosition().toPoint();
    if (!leftPressed) {
        updateCursor(globalPos);
        return;
    }
    if (dragging) {
        const QPoint wanted = target->frameGeometry().topLeft() + (event->position().toPoint() - dragOrigin);
        target->move(TitleBarBounds::kept(target, wanted));
    }
    if (pressEdge == None)
        return;

    const QRect band = rubberBand->geometry();
    int left = band.left(), top = band.top(), right = band.right(), bottom = band.bottom();
    switch (pressEdge) {
    case Left:
        left = globalPos.x();
        break;
    case Top:
        top = globalPos.y();
        break;
    case Right:
        right = globalPos.x();
        break;
    case Bottom:
        bottom = globalPos.y();
        break;
    case TopLeft:
        top = globalPos.y();
        left = globalPos.x();
        break;
    case TopRight:
        right = globalPos.x();
        top = globalPos.y();
        break;
    case BottomLeft:
        bottom = globalPos.y();
        left = globalPos.x();
        break;
    case BottomRight:
        bottom = globalPos.y();
        right = globalPos.x();
        break;
    case None:
        break;
    }

    // The top side stays where the title bar can be reached.
    top = std::max(top, TitleBarBounds::highestTop(band));

    // Past the minimum size the toolkit would grow the window from its given top-left corner,
    // which would slide it: keep the dragged left (or else top) side where it is instead.
    const QRect wanted(QPoint(left, top), QPoint(right, bottom));
    if (wanted.width() < target->minimumWidth())
        left = target->frameGeometry().x();
    else if (wanted.height() < target->minimumHeight())
        top = target->frameGeometry().y();

    const QRect geometry(QPoint(left, top), QPoint(right, bottom));
    target->setGeometry(geometry);
    rubberBand->setGeometry(geometry);
}
