// SPDX-License-Identifier: MIT
#pragma once

#include <QAbstractNativeEventFilter>
#include <QtGlobal>

class QMouseEvent;
class QWidget;

// The latest pointer event that the window system handed the toolkit. On X11 a system move or
// resize starts from the position of the latest pointer event the platform plug-in has handled,
// and widgets see a press only after the plug-in has taken in whatever followed it: after a click
// made while the program was busy, that is the release, and the window manager would move the
// window for a button no longer held. Other platforms start from the press itself and are not
// watched; on Windows the button must still be down.
class PlatformPointer : public QAbstractNativeEventFilter
{
public:
    // The program's one watcher, installed on first use; use it before the first press.
    static PlatformPointer &instance();

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;

    // Whether a system drag handed this press, received by `window`, would start from it.
    bool startsFrom(const QMouseEvent *press, const QWidget *window) const;

private:
    bool watched = false;
    bool latestIsPress = false;
    quint32 latestTime = 0;
    quint32 latestWindow = 0;
};
