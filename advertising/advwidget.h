// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>

// The partner banner. Placeholder until the advertising lands.
class AdvWidget : public QWidget
{
    Q_OBJECT
public:
    AdvWidget(bool withCountdown, QWidget *parent = nullptr);
    void showWithCountdown(int seconds);
};
