// SPDX-License-Identifier: MIT
#pragma once

#include <QList>
#include <QPoint>
#include <QRect>

class QWidget;

// Keeps a frameless window's top edge, where its title bar is, from going above the screens'
// available areas: a title bar out of reach leaves the window movable only by the window
// manager's own keys, which few users know.
namespace TitleBarBounds {

// The highest top a window with this frame may take: the top of the highest available area that
// spans some of its columns; with no such area, no bound (INT_MIN).
int highestTop(const QRect &frame, const QList<QRect> &available);

// The same on the screens the program is shown on.
int highestTop(const QRect &frame);

// `topLeft` for the window, moved down as far as needed on the screens it is shown on.
QPoint kept(const QWidget *window, QPoint topLeft);

} // namespace TitleBarBounds
