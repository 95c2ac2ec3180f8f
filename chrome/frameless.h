// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QPoint>

#include <memory>

class QMouseEvent;
class QRect;
class QRubberBand;
class QWidget;

// Gives a frameless window back what a frame would: resizing from its sides and corners, resize
// cursors over those zones, and moving by dragging its own surface. Works as an event filter on
// the window it manages.
class FrameLess : public QObject
{
    Q_OBJECT
public:
    // One bit per zone, so the cursor logic can test groups; a hit test yields exactly one.
    enum Edge {
        None = 0x0,
        Left = 0x1,
        Top = 0x2,
        Right = 0x4,
        Bottom = 0x8,
        TopLeft = 0x10,
        TopRight = 0x20,
        BottomLeft = 0x40,
        BottomRight = 0x80,
    };
    Q_ENUM(Edge)

    explicit FrameLess(QWidget *target);
    ~FrameLess() override;

    bool eventFilter(QObject *watched, QEvent *event) override;

    // The zone of the frame that a point on the screen falls in; zones are `margin` pixels wide.
    static Edge hitTest(const QPoint &point, const QRect &frame);

private:
    void updateCursor(const QPoint &globalPos);
    void handleMouseMove(QMouseEvent *event);
    void handlePress(QMouseEvent *event);
    bool handOverToPlatform(const QMouseEvent *press);
    static Qt::Edges toQtEdges(Edge edge);

    QWidget *target;
    // Holds the rectangle being dragged; never shown.
    std::unique_ptr<QRubberBand> rubberBand;
    bool cursorChanged = false;
    bool leftPressed = false;
    Edge pressEdge = None;
    Edge hoverEdge = None;
    static constexpr int margin = 5;
    QPoint dragOrigin;
    bool dragging = false;
};
