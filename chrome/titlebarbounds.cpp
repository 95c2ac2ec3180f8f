// SPDX-License-Identifier: MIT
#include "chrome/titlebarbounds.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <climits>

namespace TitleBarBounds {

int highestTop(const QRect &frame, const QList<QRect> &available)
{
    int top = INT_MAX;
    for (const QRect &area : available) {
        if (area.left() <= frame.right() && frame.left() <= area.right())
            top = std::min(top, area.top());
    }
    return top == INT_MAX ? INT_MIN : top;
}

int highestTop(const QRect &frame)
{
    QList<QRect> available;
    for (const QScreen *screen : QGuiApplication::screens())
        available << screen->availableGeometry();
    return highestTop(frame, available);
}

QPoint kept(const QWidget *window, QPoint topLeft)
{
    topLeft.setY(std::max(topLeft.y(), highestTop(QRect(topLeft, window->frameGeometry().size()))));
    return topLeft;
}

} // namespace TitleBarBounds
