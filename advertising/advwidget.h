// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>
#include <QUrl>

class QLabel;
class QPushButton;
class QTimer;
class QVBoxLayout;

// One partner advertisement: the partner's picture, opening the partner's page when clicked.
// Every advertisement shown takes the next partner of the program-wide table. As a banner it
// shows only the picture; with the countdown it is a dialog that offers "close" only after
// counting down.
class AdvWidget : public QDialog
{
    Q_OBJECT
public:
    explicit AdvWidget(bool withCountdown = true, QWidget *parent = nullptr);

    // Shows the next advertisement; with the countdown also starts counting and opens the
    // dialog application-modal, without waiting for it.
    void showWithCountdown(int seconds);

public slots:
    void onAdvClicked();
    void updateTimer();

protected:
    void mousePressEvent(QMouseEvent *event) override;

private:
    void createCountdownParts();
    void connectCountdown();
    void loadNextAdv();
    void placeOnce(QWidget *widget, int stretch, Qt::Alignment alignment);

    QVBoxLayout *mainLayout = nullptr;
    QLabel *timerLabel = nullptr;
    QPushButton *closeButton = nullptr;
    QTimer *timer = nullptr;
    QLabel *advLabel = nullptr;
    int seconds = 0;
    QUrl advUrl;
    bool withCountdown;

    // Shared by every countdown in the program.
    static bool countingDown;
};
