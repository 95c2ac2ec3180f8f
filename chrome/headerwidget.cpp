// SPDX-License-Identifier: MIT
#include "chrome/headerwidget.h"

#include "chrome/helpwidget.h"
#include "chrome/systemwindowdrag.h"
#include "chrome/titlebarbounds.h"
#include "common/styledbackground.h"

#include <QApplication>
#include <QDesktopServices>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QToolButton>
#include <QUrl>

HeaderWidget::HeaderWidget(QWidget *parent) : QWidget(parent)
{
    SystemWindowDrag::watchPointer();
    createButtons();
    setupLayout();
    connectButtons();
    setMinimumHeight(74);
}

void HeaderWidget::createButtons()
{
    const auto iconButton = [this](const char *path) {
        auto *button = new QToolButton(this);
        button->setIcon(QIcon(QString::fromLatin1(path)));
        // With only a transparent background from the sheet, styles such as Fusion still draw a
        // native panel, and from the transparent colour they make it black. The focus ring is in
        // the caption's white, which shows on the whole gradient.
        button->setStyleSheet(QStringLiteral("QToolButton { border: none; } "
                                             "QToolButton:focus { border: 2px solid #FFFFFF; border-radius: 4px; }"));
        return button;
    };
    // Made in the order they are shown, which is the order Tab visits them.
    contactButton = iconButton(":/qrc/contact-us.png");
    helpButton = iconButton(":/qrc/help.png");
    minimizeButton = iconButton(":/qrc/minimize.png");
    closeButton = iconButton(":/qrc/close.png");
}

void HeaderWidget::setupLayout()
{
    auto *layout = new QHBoxLayout(this);
    layout->addWidget(createLogo(), 0, Qt::AlignLeft);
    layout->addSpacing(10);
    layout->addWidget(createCaption(), 1, Qt::AlignLeft);
    layout->addWidget(contactButton, 0, Qt::AlignRight);
    layout->addWidget(helpButton, 0, Qt::AlignRight);
    layout->addWidget(minimizeButton, 0, Qt::AlignRight);
    layout->addWidget(closeButton, 0, Qt::AlignRight);
    layout->addSpacing(27);
}

QLabel *HeaderWidget::createLogo()
{
    auto *logo = new QLabel;
    logo->setPixmap(QPixmap(QStringLiteral(":/qrc/file-all.svg")));
    logo->setContentsMargins(40, 0, 0, 0);
    return logo;
}

QLabel *HeaderWidget::createCaption()
{
    auto *caption = new QLabel(QStringLiteral("Parcelo") + QChar(0x2122));
    caption->setStyleSheet(
        QStringLiteral("font: normal normal normal 24px/33px Noto Sans; color: #FFFFFF; opacity: 1;"));
    return caption;
}

void HeaderWidget::connectButtons()
{
    connect(minimizeButton, &QToolButton::clicked, this, &HeaderWidget::onMinimize);
    connect(closeButton, &QToolButton::clicked, qApp, &QCoreApplication::quit);
    connect(helpButton, &QToolButton::clicked, this, &HeaderWidget::onHelpPressed);
    connect(contactButton, &QToolButton::clicked, this, &HeaderWidget::onContactPressed);
}

void HeaderWidget::onMinimize()
{
    if (QWidget *active = QApplication::activeWindow())
        active->showMinimized();
}

// One help window at a time, over the main window: a further click brings it to the front.
void HeaderWidget::onHelpPressed()
{
    if (!helpWindow) {
        // Owned by the main window, so the window manager keeps it above it.
        helpWindow = new HelpWidget(window());
        helpWindow->setAttribute(Qt::WA_DeleteOnClose);
        helpWindow->setWindowFlags(helpWindow->windowFlags() &
                                   ~(Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
        helpWindow->setWindowTitle(QStringLiteral("Parcelo"));
        helpWindow->adjustSize();
        helpWindow->move(window()->geometry().center() - helpWindow->rect().center());
    }
    helpWindow->show();
    helpWindow->raise();
    helpWindow->activateWindow();
}

void HeaderWidget::onContactPressed()
{
    QDesktopServices::openUrl(QUrl(QString::fromLatin1(contactLink), QUrl::TolerantMode));
}

void HeaderWidget::mousePressEvent(QMouseEvent *event)
{
    // Accepted here, so the press does not go on to the main window. The platform's move ends on
    // a left release only, so it takes left drags alone.
    pressGlobalPos = event->globalPosition().toPoint();
    pressWindowPos = window()->pos();
    pressed = event->button() != Qt::LeftButton || !SystemWindowDrag::startMove(window(), event);
}

void HeaderWidget::mouseReleaseEvent(QMouseEvent *)
{
    pressed = false;
}

// The window follows the pointer from where the drag began, so the grabbed point stays under it
// until the title bar meets the top of the screen.
void HeaderWidget::mouseMoveEvent(QMouseEvent *event)
{
    if (!pressed)
        return;
    const QPoint travel = event->globalPosition().toPoint() - pressGlobalPos;
    emit moveWindow(TitleBarBounds::kept(window(), pressWindowPos + travel) - window()->pos());
}

void HeaderWidget::paintEvent(QPaintEvent *event)
{
    paintStyledBackground(this);
    QWidget::paintEvent(event);
}
