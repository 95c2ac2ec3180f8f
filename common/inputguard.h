// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QPointer>

class QWidget;

// Swallows the user's input to every window but one while work runs, also before that window
// shows: the window whose work it is takes no gestures meanwhile, and none wait to be replayed
// afterwards. Input reaches a window's QWindow before the widgets in it, and a shortcut's key
// reaches the shortcut: each is judged by the widget it belongs to.
class InputGuard : public QObject
{
public:
    InputGuard();
    ~InputGuard() override;

    // The window (a dialog) that still takes input, with everything in it.
    void allow(QWidget *window) { allowed = window; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QPointer<QWidget> allowed;
};
