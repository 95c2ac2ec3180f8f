// SPDX-License-Identifier: MIT
#include "app/startup.h"

#include "mainwindow/mainwidget.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QIcon>
#include <QLoggingCategory>
#include <QScreen>
#include <QStyle>

Q_LOGGING_CATEGORY(lcStartup, "parcelo.startup")

Startup::Startup(QApplication &app) : window(createWindow(app)), frameLess(window.get())
{
    window->setWindowIcon(QIcon(QStringLiteral(":/qrc/icon.ico")));
    window->setWindowTitle(QStringLiteral("Parcelo"));
    window->resize(980, 660);
}

// The helper lets go of the window before the window goes.
Startup::~Startup() = default;

// The sheet asks for Noto Sans, which Windows does not have: a Windows package carries it in
// fonts/ beside the program. Elsewhere the folder is missing and the system's fonts serve.
void Startup::addBundledFonts()
{
    const QDir fonts(QCoreApplication::applicationDirPath() + QStringLiteral("/fonts"));
    const QStringList files = fonts.entryList({QStringLiteral("*.ttf"), QStringLiteral("*.otf")}, QDir::Files);
    for (const QString &file : files) {
        if (QFontDatabase::addApplicationFont(fonts.filePath(file)) < 0)
            qCWarning(lcStartup) << "could not load the font" << fonts.filePath(file);
    }
}

MainWidget *Startup::createWindow(QApplication &app)
{
    addBundledFonts();
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
    // A 980 x 660 window does not fit a small or scaled screen (1366 x 768 at 125 %), and
    // "Compress" sits at its bottom.
    if (const QScreen *screen = window->screen())
        window->setGeometry(placement(window->size(), window->minimumSizeHint(), screen->availableGeometry()));
    window->show();
}

QRect Startup::placement(const QSize &wanted, const QSize &least, const QRect &available)
{
    // The screen wins over the window's least size: a window larger than the screen hides its buttons.
    const QSize size = wanted.expandedTo(least).boundedTo(available.size());
    return QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size, available);
}
