// SPDX-License-Identifier: MIT
#pragma once

#include "files/workfolder.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QString>

#include <functional>

class ProgressDialog;
class QWidget;

// Keeps the window alive while the main thread walks or copies a big folder: once the work has
// taken half a second a modal progress dialog comes up, like the one of "Compress", and from then
// on every question lets the window paint and the user press "Cancel". Quick work never builds
// the dialog, so adding hundreds of files costs nothing extra.
class WorkProgress
{
public:
    WorkProgress(QWidget *parent, QString label, bool cancellable = true);
    ~WorkProgress();

    // Asked by the work every few hundred entries; false once the user has cancelled.
    bool keepGoing();
    std::function<bool()> callback();
    bool wasCancelled() const { return cancelled; }

    // Runs `work` on a thread of its own and returns its result. The windows keep painting
    // meanwhile but take no input, which is dropped rather than replayed afterwards; once the work
    // has lasted, a dialog without "Cancel" shows `label`. When the program is asked to quit
    // meanwhile, the work is still finished first: a removal stopped half-way helps nobody.
    static bool runAside(QWidget *parent, const QString &label, const std::function<bool()> &work);
    // runAside() as a runner for the work folder's removals.
    static WorkFolder::Runner aside(QWidget *parent, const QString &label = QStringLiteral("Removing a copy..."));

    // How long work runs before the dialog shows. Tests set 0 to see the dialog at once.
    static void setShowAfter(int milliseconds);

private:
    void showDialog();

    QPointer<QWidget> parent;
    QString label;
    bool cancellable;
    QElapsedTimer clock;
    // Owned here; a QPointer, as the parent would take it along if it went first.
    QPointer<ProgressDialog> dialog;
    bool cancelled = false;
};
