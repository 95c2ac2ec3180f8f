// SPDX-License-Identifier: MIT
#pragma once

#include <QElapsedTimer>
#include <QPointer>
#include <QString>

#include <functional>

class QProgressDialog;
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

    // How long work runs before the dialog shows. Tests set 0 to see the dialog at once.
    static void setShowAfter(int milliseconds);

private:
    void showDialog();

    QPointer<QWidget> parent;
    QString label;
    bool cancellable;
    QElapsedTimer clock;
    // Owned here; a QPointer, as the parent would take it along if it went first.
    QPointer<QProgressDialog> dialog;
    bool cancelled = false;
};
