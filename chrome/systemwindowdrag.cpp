// SPDX-License-Identifier: MIT
#include "chrome/systemwindowdrag.h"

#include "chrome/platformpointer.h"
#include "chrome/titlebarbounds.h"

#include <QGuiApplication>
#include <QLoggingCategory>
#include <QMouseEvent>
#include <QPointer>
#include <QWidget>
#include <QWindow>

Q_LOGGING_CATEGORY(lcDrag, "parcelo.chrome.drag")

namespace {

// Whether the platform may take a drag that begins with this press; says so in the log.
bool platformMayStart(const QWidget *window, const QMouseEvent *press)
{
    if (PlatformPointer::instance().startsFrom(press, window))
        return true;
    qCDebug(lcDrag) << "the press is over or not the platform's latest pointer event: the program drags the window";
    return false;
}

// Window managers let a move take the window's top above the screen as far as the grabbed point
// lies below it. Once the move is over (its last position arrives with no button held, or with a
// release seen before it) the window goes back down; the next press ends the watch.
class MoveEndWatch : public QObject
{
public:
    explicit MoveEndWatch(QWidget *movedWindow) : QObject(movedWindow), window(movedWindow)
    {
        qApp->installEventFilter(this);
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
            deleteLater();
            break;
        case QEvent::MouseButtonRelease:
            released = true;
            putBack();
            break;
        case QEvent::Move:
            if (watched == window && (released || QGuiApplication::mouseButtons() == Qt::NoButton))
                putBack();
            break;
        default:
            break;
        }
        return false;
    }

private:
    void putBack()
    {
        const QPoint kept = TitleBarBounds::kept(window, window->pos());
        if (kept != window->pos())
            window->move(kept);
    }

    QWidget *window;
    bool released = false;
};

} // namespace

namespace SystemWindowDrag {

void watchPointer()
{
    PlatformPointer::instance();
}

bool startMove(QWidget *window, const QMouseEvent *press)
{
    QWidget *topLevel = window->window();
    QWindow *handle = topLevel->windowHandle();
    if (!handle || !platformMayStart(topLevel, press) || !handle->startSystemMove())
        return false;
    qCDebug(lcDrag) << "the platform moves the window";
    static QPointer<MoveEndWatch> watch;
    delete watch;
    watch = new MoveEndWatch(topLevel);
    return true;
}

bool startResize(QWidget *window, Qt::Edges edges, const QMouseEvent *press)
{
    QWidget *topLevel = window->window();
    QWindow *handle = topLevel->windowHandle();
    if (!handle || !platformMayStart(topLevel, press) || !handle->startSystemResize(edges))
        return false;
    qCDebug(lcDrag) << "the platform resizes the window";
    return true;
}

} // namespace SystemWindowDrag
