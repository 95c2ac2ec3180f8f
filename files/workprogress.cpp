// SPDX-License-Identifier: MIT
#include "files/workprogress.h"

#include "common/inputguard.h"
#include "common/progressdialog.h"

#include <QApplication>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

#include <memory>

namespace {
int showAfterMs = 500;

ProgressDialog *makeDialog(QWidget *parent, const QString &label, bool cancellable)
{
    auto *dialog = new ProgressDialog(label, cancellable, parent);
    // Busy: the work does not know how much there is.
    dialog->setRange(0, 0);
    dialog->show();
    return dialog;
}
} // namespace

WorkProgress::WorkProgress(QWidget *owner, QString text, bool canCancel)
    : parent(owner), label(std::move(text)), cancellable(canCancel)
{
    clock.start();
}

WorkProgress::~WorkProgress()
{
    delete dialog.data();
}

void WorkProgress::setShowAfter(int milliseconds)
{
    showAfterMs = milliseconds;
}

std::function<bool()> WorkProgress::callback()
{
    return [this] { return keepGoing(); };
}

bool WorkProgress::keepGoing()
{
    if (cancelled)
        return false;
    if (!dialog) {
        if (clock.elapsed() < showAfterMs)
            return true;
        showDialog();
    }
    QCoreApplication::processEvents();
    cancelled = cancellable && dialog->wasCanceled();
    return !cancelled;
}

void WorkProgress::showDialog()
{
    dialog = makeDialog(parent.data(), label, cancellable);
}

bool WorkProgress::runAside(QWidget *parent, const QString &label, const std::function<bool()> &work)
{
    InputGuard guard;
    QPointer<QWidget> owner(parent);
    // A QPointer, as the owner would take the dialog along if it went first.
    QPointer<ProgressDialog> dialog;
    const auto showDialog = [&] {
        dialog = makeDialog(owner.data(), label, false);
        guard.allow(dialog.data());
    };
    QTimer lasting;
    lasting.setSingleShot(true);
    QObject::connect(&lasting, &QTimer::timeout, showDialog);
    if (showAfterMs == 0)
        showDialog();
    else
        lasting.start(showAfterMs);

    bool result = false;
    QEventLoop loop;
    std::unique_ptr<QThread> thread(QThread::create([&result, &work] { result = work(); }));
    QObject::connect(thread.get(), &QThread::finished, &loop, &QEventLoop::quit);
    thread->start();
    // Returns early, or at once, when the program quits; the wait then finishes the work.
    loop.exec();
    thread->wait();
    delete dialog.data();
    return result;
}

WorkFolder::Runner WorkProgress::aside(QWidget *parent, const QString &label)
{
    QPointer<QWidget> owner(parent);
    return [owner, label](const std::function<bool()> &work) { return runAside(owner.data(), label, work); };
}
