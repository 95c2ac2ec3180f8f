// SPDX-License-Identifier: MIT
#include "files/workprogress.h"

#include <QApplication>
#include <QProgressDialog>

namespace {
int showAfterMs = 500;
}

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
    // Without a "Cancel" button, Escape still cancels a progress dialog; that is not heard.
    cancelled = cancellable && dialog->wasCanceled();
    return !cancelled;
}

void WorkProgress::showDialog()
{
    dialog = new QProgressDialog(label, QStringLiteral("Cancel"), 0, 0, parent.data());
    if (!cancellable)
        dialog->setCancelButton(nullptr);
    dialog->setWindowTitle(QStringLiteral("Parcelo"));
    dialog->setWindowModality(Qt::ApplicationModal);
    // The half second has passed already.
    dialog->setMinimumDuration(0);
    dialog->setAutoClose(false);
    dialog->setAutoReset(false);
    dialog->show();
}
