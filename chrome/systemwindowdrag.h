// SPDX-License-Identifier: MIT
#pragma once

#include <Qt>

class QWidget;

// Window drags go to the platform wherever it takes them: Windows keeps Aero Snap and moves
// between monitors of different scaling only that way, and Wayland moves nothing a program places
// itself. Where the platform declines (X11 without a window manager that offers it, offscreen),
// these return false and the caller moves or resizes the window itself.
namespace SystemWindowDrag {

// Starts a platform move of the window under the pressed pointer; true when the platform took it.
bool startMove(QWidget *window);

// Starts a platform resize from the given edges; true when the platform took it.
bool startResize(QWidget *window, Qt::Edges edges);

} // namespace SystemWindowDrag
