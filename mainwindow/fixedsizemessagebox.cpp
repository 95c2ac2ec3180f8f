// SPDX-License-Identifier: MIT
#include "mainwindow/fixedsizemessagebox.h"

#include <QAbstractButton>
#include <QEvent>
#include <QLabel>

FixedSizeMessageBox::FixedSizeMessageBox(QSize size, QWidget *parent) : QMessageBox(parent), keptSize(size)
{
    setFixedSize(keptSize);
    // Room around the button texts, which the application's sheet leaves to the style.
    setStyleSheet(QStringLiteral("QPushButton { min-width: 64px; min-height: 26px; padding: 0 12px; }"));
}

void FixedSizeMessageBox::centreOver(QWidget *window)
{
    anchor = window;
}

bool FixedSizeMessageBox::event(QEvent *event)
{
    const bool handled = QMessageBox::event(event);
    if (event->type() == QEvent::Show || event->type() == QEvent::LayoutRequest)
        setFixedSize(keptSize);
    if (event->type() == QEvent::Show) {
        for (QAbstractButton *button : buttons())
            button->setIcon(QIcon());
        // A long path has no blank to break at; let it break anywhere rather than run out of the box.
        for (QLabel *label : findChildren<QLabel *>())
            label->setWordWrap(true);
        if (anchor && anchor->isVisible())
            move(anchor->frameGeometry().center() - QPoint(width() / 2, height() / 2));
    }
    return handled;
}
