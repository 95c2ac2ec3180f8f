// SPDX-License-Identifier: MIT
#include "mainwindow/fixedsizemessagebox.h"

#include <QEvent>

FixedSizeMessageBox::FixedSizeMessageBox(QSize size, QWidget *parent) : QMessageBox(parent), keptSize(size)
{
    setFixedSize(keptSize);
}

bool FixedSizeMessageBox::event(QEvent *event)
{
    const bool handled = QMessageBox::event(event);
    if (event->type() == QEvent::Show || event->type() == QEvent::LayoutRequest)
        setFixedSize(keptSize);
    return handled;
}
