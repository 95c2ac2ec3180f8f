// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>

class QLabel;

// A separate window that explains in five steps how to pack files. The title bar opens a new one
// for each help click; the style sheet gives it the main window's background and its fonts.
class HelpWidget : public QWidget
{
    Q_OBJECT
public:
    HelpWidget();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void createLabels();
    void setupLayout();

    QLabel *titleLabel = nullptr;
    QLabel *textLabel = nullptr;
};
