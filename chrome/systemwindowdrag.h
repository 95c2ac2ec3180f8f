// SPDX-License-Identifier: MIT
#pragma once

#include <Qt>

class QWidget;

// Where the platform decides where windows go (Wayland), a program that sets its own geometry
// moves nothing, so window drags are handed to the platform there. Elsewhere (X11, Windows) these
// return false and the caller moves or resizes the window itself.
namespace SystemWindowDrag {

bool platformPlacesWindows();

// Starts a platform move of the window under the pressed pointer; true when the platform took it.
bool startMove(QWidget *window);

// Starts a platform resize from the given edges; true when the platform took it.
bool startResize(QWidget *window, Qt::Edges edges);

} // namespace SystemWindowDrag
