// SPDX-License-Identifier: MIT
// The program's own start-up, as main() runs it, watched until its first frame.
#include "app/startup.h"
#include "benchsupport.h"
#include "mainwindow/mainwidget.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    Startup startup(app);
    Bench::FirstPaintProbe probe(startup.mainWindow());
    startup.show();
    return app.exec();
}
