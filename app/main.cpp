// SPDX-License-Identifier: MIT
#include "app/startup.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    Startup startup(app);
    startup.show();
    return app.exec();
}
