// SPDX-License-Identifier: MIT
#pragma once

#include <QPoint>
#include <QWidget>

// The window's own title bar. Placeholder until the window chrome lands.
class HeaderWidget : public QWidget
{
    Q_OBJECT
public:
    explicit HeaderWidget(QWidget *parent = nullptr);

signals:
    void moveWindow(QPoint pt);
};
