// SPDX-License-Identifier: MIT
#pragma once

#include <QPoint>
#include <QPointer>
#include <QWidget>

class HelpWidget;
class QLabel;
class QToolButton;

// Where the contact button sends mail.
inline constexpr char contactLink[] = "mailto:hello@parcelo.app";

// The frameless main window's own title bar: logo and name on the left, contact, help, minimise
// and close buttons on the right. Dragging it with any mouse button reports how far the window is
// to move, so it follows the pointer.
class HeaderWidget : public QWidget
{
    Q_OBJECT
public:
    explicit HeaderWidget(QWidget *parent = nullptr);

signals:
    void moveWindow(QPoint pt);

public slots:
    void onMinimize();
    void onHelpPressed();
    void onContactPressed();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void createButtons();
    void setupLayout();
    QLabel *createLogo();
    QLabel *createCaption();
    void connectButtons();

    bool pressed = false;
    // Where the pointer and the window were at the press that began the drag.
    QPoint pressGlobalPos;
    QPoint pressWindowPos;
    QToolButton *minimizeButton = nullptr;
    QToolButton *closeButton = nullptr;
    QToolButton *helpButton = nullptr;
    QToolButton *contactButton = nullptr;
    // The open help window; it deletes itself when closed, and this then becomes null.
    QPointer<HelpWidget> helpWindow;
};
