// SPDX-License-Identifier: MIT
#pragma once

#include <QMessageBox>
#include <QPointer>

// A message box that keeps one size and shows over the main window: QMessageBox fits itself to its
// text whenever it is shown or laid out again, which would undo setFixedSize(), and a parentless
// box opens wherever the window system puts it. Its buttons carry no icons: beside the style
// sheet's button look, theme icons clipped the button texts.
class FixedSizeMessageBox : public QMessageBox
{
    Q_OBJECT
public:
    explicit FixedSizeMessageBox(QSize size, QWidget *parent = nullptr);

    void centreOver(QWidget *window);

protected:
    bool event(QEvent *event) override;

private:
    QSize keptSize;
    QPointer<QWidget> anchor;
};
