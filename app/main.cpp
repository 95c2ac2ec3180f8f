// SPDX-License-Identifier: MIT
#include "app/dialoglog.h"
#include "app/startup.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    DialogLog dialogLog;
    Startup startup(app);
    startup.show();
    return app.exec();
}
