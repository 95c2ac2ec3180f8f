// SPDX-License-Identifier: MIT
#pragma once

#include <Qt>

class QMouseEvent;
class QWidget;

// Window drags go to the platform wherever it takes them: Windows keeps Aero Snap and moves
// between monitors of different scaling only that way, and Wayland moves nothing a program places
// itself. Where the platform declines (X11 without a window manager that offers it, offscreen), or
// would not start from the press (see PlatformPointer), these return false and the caller moves
// or resizes the window itself.
namespace SystemWindowDrag {

// Starts watching the pointer as the platform sees it; call before the first press arrives.
void watchPointer();

// Starts a platform move of the window from this press; true when the platform took it. A window
// the platform leaves with its top above the screens' available areas is put back below it.
bool startMove(QWidget *window, const QMouseEvent *press);

// Starts a platform resize from the given edges and this press; true when the platform took it.
bool startResize(QWidget *window, Qt::Edges edges, const QMouseEvent *press);

} // namespace SystemWindowDrag
