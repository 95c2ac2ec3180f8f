// SPDX-License-Identifier: MIT
#include "chrome/systemwindowdrag.h"

#include <QWidget>
#include <QWindow>

namespace SystemWindowDrag {

bool startMove(QWidget *window)
{
    QWindow *handle = window->window()->windowHandle();
    return handle && handle->startSystemMove();
}

bool startResize(QWidget *window, Qt::Edges edges)
{
    QWindow *handle = window->window()->windowHandle();
    return handle && handle->startSystemResize(edges);
}

} // namespace SystemWindowDrag
