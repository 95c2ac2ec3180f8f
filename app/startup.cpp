// SPDX-License-Identifier: MIT
#include "app/startup.h"

#include "mainwindow/mainwidget.h"

#include <QApplication>
#include <QFile>
#include <QIcon>

Startup::Startup(QApplication &app) : window(createWindow(app)), frameLess(window.get())
{
    window->setWindowIcon(QIcon(QStringLiteral(":/qrc/icon.ico")));
    window->setWindowTitle(QStringLiteral("Parcelo"));
    window->resize(980, 660);
}

// The helper lets go of the window before the window goes.
Startup::~Startup() = default;

MainWidget *Startup::createWindow(QApplication &app)
{
    // A missing sheet leaves the window unstyled but working.
    QFile styleSheet(QStringLiteral(":/qrc/style.qss"));
    styleSheet.open(QIODevice::ReadOnly);
    app.setStyleSheet(QString::fromLatin1(styleSheet.readAll()));
    styleSheet.close();

    QApplication::setWindowIcon(QIcon(QStringLiteral(":/qrc/icon.ico")));
    return new MainWidget;
}

void Startup::show()
{
    window->show();
}
