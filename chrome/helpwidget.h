// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>

class QLabel;

// A separate window that explains in five steps how to pack files; Escape closes it. The style
// sheet gives it the main window's background and its fonts.
class HelpWidget : public QWidget
{
    Q_OBJECT
public:
    // Always a window of its own; a parent only keeps it above that window.
    explicit HelpWidget(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void createLabels();
    void setupLayout();

    QLabel *titleLabel = nullptr;
    QLabel *textLabel = nullptr;
};
