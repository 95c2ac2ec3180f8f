// SPDX-License-Identifier: MIT
#include "chrome/headerwidget.h"

HeaderWidget::HeaderWidget(QWidget *parent) : QWidget(parent) {}
