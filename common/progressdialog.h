// SPDX-License-Identifier: MIT
#pragma once

#include <QProgressDialog>

// The one look and manner of every progress window (measuring, copying, packing, removing): the
// main window's colours and font, a percentage readable over the bar's fill and its ground alike,
// and a frame with a close button only. Application-modal. A
// cancellable one is cancelled by its "Cancel" (click, Space, Return), by Escape and by the
// frame's close button; one that cannot be cancelled has no "Cancel" and ignores the other two.
class ProgressDialog : public QProgressDialog
{
    Q_OBJECT
public:
    ProgressDialog(const QString &label, bool cancellable, QWidget *parent = nullptr);
    ~ProgressDialog() override;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    bool cancellable;
};
