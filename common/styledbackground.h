// SPDX-License-Identifier: MIT
#pragma once

class QWidget;

// Lets the application style sheet paint the background of a plain QWidget subclass: without it,
// a type selector such as "MainWidget { background-image: ... }" would be ignored.
void paintStyledBackground(QWidget *widget);
