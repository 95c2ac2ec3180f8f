// SPDX-License-Identifier: MIT
#pragma once

#include <QMessageBox>

// A message box that keeps one size: QMessageBox fits itself to its text whenever it is shown or
// laid out again, which would undo setFixedSize().
class FixedSizeMessageBox : public QMessageBox
{
    Q_OBJECT
public:
    explicit FixedSizeMessageBox(QSize size, QWidget *parent = nullptr);

protected:
    bool event(QEvent *event) override;

private:
    QSize keptSize;
};
