// SPDX-License-Identifier: MIT
#include "chrome/frameless.h"
#include "mainwindow/mainwidget.h"

#include <QApplication>
#include <QFile>
#include <QIcon>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);

    // A missing sheet leaves the window unstyled but working.
    QFile styleSheet(QStringLiteral(":/qrc/style.qss"));
    styleSheet.open(QIODevice::ReadOnly);
    app.setStyleSheet(QString::fromLatin1(styleSheet.readAll()));
    styleSheet.close();

    QApplication::setWindowIcon(QIcon(QStringLiteral(":/qrc/icon.ico")));

    auto *window = new MainWidget;
    // Takes away the system frame; the window is moved and resized by this helper and its title bar.
    FrameLess frameLess(window);
    window->setWindowIcon(QIcon(QStringLiteral(":/qrc/icon.ico")));
    window->setWindowTitle(QStringLiteral("Parcelo"));
    window->resize(980, 660);
    window->show();
    return app.exec();
}
