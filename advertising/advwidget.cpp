// SPDX-License-Identifier: MIT
#include "advertising/advwidget.h"

AdvWidget::AdvWidget(bool withCountdown, QWidget *parent) : QWidget(parent)
{
    Q_UNUSED(withCountdown);
}

void AdvWidget::showWithCountdown(int seconds)
{
    Q_UNUSED(seconds);
}
