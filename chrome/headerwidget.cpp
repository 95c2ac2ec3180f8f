// SPDX-License-Identifier: MIT
#include "chrome/headerwidget.h"

#include "chrome/helpwidget.h"
#include "chrome/systemwindowdrag.h"
#include "chrome/titlebarbounds.h"
#include "common/styledbackground.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFocusEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QStyle>
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
    const auto iconButton = [this](const char *path, const QString &name) {
        auto *button = new QToolButton(this);
        button->setIcon(QIcon(QString::fromLatin1(path)));
        button->setToolTip(name);
        button->setAccessibleName(name);
        // Like a window frame's buttons, a click does not take the focus; Tab still reaches them.
        button->setFocusPolicy(Qt::TabFocus);
        button->installEventFilter(this);
        // With only a transparent background from the sheet, styles such as Fusion still draw a
        // native panel, and from the transparent colour they make it black. The focus ring, in the
        // caption's white, which shows on the whole gradient, marks where the keyboard is.
        button->setStyleSheet(QStringLiteral("QToolButton { border: none; } "
                                             "QToolButton[keyboardFocus=\"true\"]:focus { border: 2px solid #FFFFFF; "
                                             "border-radius: 4px; }"));
        return button;
    };
    // Made in the order they are shown, which is the order Tab visits them.
    contactButton = iconButton(":/qrc/contact-us.png", tr("Contact us"));
    helpButton = iconButton(":/qrc/help.png", tr("Help"));
    minimizeButton = iconButton(":/qrc/minimize.png", tr("Minimise"));
    closeButton = iconButton(":/qrc/close.png", tr("Close"));
}

// A button shows its focus ring only when the keyboard brought the focus there; focus that comes
// back with the window keeps what it had.
bool HeaderWidget::eventFilter(QObject *watched, QEvent *event)
{
    const bool focusIn = event->type() == QEvent::FocusIn;
    if (!focusIn && event->type() != QEvent::FocusOut)
        return QWidget::eventFilter(watched, event);
    const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
    if (reason != Qt::ActiveWindowFocusReason) {
        auto *button = static_cast<QWidget *>(watched);
        button->setProperty("keyboardFocus",
                            focusIn && (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
                                        reason == Qt::ShortcutFocusReason));
        button->style()->unpolish(button);
        button->style()->polish(button);
    }
    return QWidget::eventFilter(watched, event);
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
        QStringLiteral("font: normal normal normal 24px \"Noto Sans\"; color: #FFFFFF; opacity: 1;"));
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
    // The window whose title bar was clicked, whichever window the system made active.
    window()->showMinimized();
}

// One help window at a time, over the main window: a further click brings it to the front, also
// when a click on the main window has put it behind.
void HeaderWidget::onHelpPressed()
{
    if (!helpWindow) {
        // Owned by the main window, so it goes with it.
        helpWindow = new HelpWidget(window());
        helpWindow->setAttribute(Qt::WA_DeleteOnClose);
        // A dialog to read and close: its frame offers neither minimise nor maximise. The toolkit
        // drops frame buttons only for a customised frame.
        helpWindow->setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                   Qt::WindowCloseButtonHint);
        helpWindow->setWindowTitle(QStringLiteral("Parcelo"));
        // Its lines do not wrap, so it has one right size; a window manager that offers minimise
        // and maximise whatever the hints say (openbox) drops maximise for a fixed size.
        helpWindow->setFixedSize(helpWindow->sizeHint());
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
