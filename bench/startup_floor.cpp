// SPDX-License-Identifier: MIT
// The least a Qt Widgets program does before its first frame: one plain window of the main
// window's size, watched by the same probe.
#include "benchsupport.h"

#include <QApplication>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.resize(980, 660);
    Bench::FirstPaintProbe probe(&window);
    window.show();
    return app.exec();
}
