// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>

// Writes one line to the log whenever a window or dialog of the program shows or hides, with its
// title and the texts it shows ("parcelo.ui: shown QMessageBox title="Parcelo" text="..."
// informative="..."), so what a user saw can be read back from the log.
class DialogLog : public QObject
{
    Q_OBJECT
public:
    explicit DialogLog(QObject *parent = nullptr);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The line for a window that is being shown or hidden.
    static QString describe(const QWidget *window, bool shown);
};
