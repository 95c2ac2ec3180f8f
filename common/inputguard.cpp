// SPDX-License-Identifier: MIT
#include "common/inputguard.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>
#include <QWindow>

namespace {

bool isUserInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Shortcut:
    case QEvent::ShortcutOverride:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
        return true;
    default:
        return false;
    }
}

} // namespace

InputGuard::InputGuard()
{
    qApp->installEventFilter(this);
}

InputGuard::~InputGuard()
{
    qApp->removeEventFilter(this);
}

bool InputGuard::eventFilter(QObject *watched, QEvent *event)
{
    if (!isUserInput(event->type()))
        return false;
    if (!allowed)
        return true;
    if (auto *window = qobject_cast<QWindow *>(watched))
        return window != allowed->windowHandle();
    // Anything else, such as a dialog's Escape shortcut, by the widget it belongs to.
    QObject *owner = watched;
    while (owner && !owner->isWidgetType())
        owner = owner->parent();
    auto *widget = static_cast<QWidget *>(owner);
    return !(widget && (widget == allowed || allowed->isAncestorOf(widget)));
}
