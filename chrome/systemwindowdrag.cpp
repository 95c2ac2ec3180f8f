// SPDX-License-Identifier: MIT
#include "chrome/systemwindowdrag.h"

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>

namespace SystemWindowDrag {

bool platformPlacesWindows()
{
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

bool startMove(QWidget *window)
{
    if (!platformPlacesWindows())
        return false;
    QWindow *handle = window->window()->windowHandle();
    return handle && handle->startSystemMove();
}

bool startResize(QWidget *window, Qt::Edges edges)
{
    if (!platformPlacesWindows())
        return false;
    QWindow *handle = window->window()->windowHandle();
    return handle && handle->startSystemResize(edges);
}

} // namespace SystemWindowDrag
