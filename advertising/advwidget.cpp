// SPDX-License-Identifier: MIT
#include "advertising/advwidget.h"

#include "advertising/advdata.h"

#include <QDesktopServices>
#include <QLabel>
#include <QLoggingCategory>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

Q_LOGGING_CATEGORY(lcAdv, "parcelo.adv")

bool AdvWidget::countingDown = true;

AdvWidget::AdvWidget(bool countdown, QWidget *parent) : QDialog(parent), withCountdown(countdown)
{
    mainLayout = new QVBoxLayout(this);
    if (withCountdown)
        createCountdownParts();
    advLabel = new QLabel;
    loadNextAdv();
    if (withCountdown)
        connectCountdown();
}

void AdvWidget::createCountdownParts()
{
    timerLabel = new QLabel;
    closeButton = new QPushButton(QStringLiteral("close"));
    // Owned by the dialog, so a dialog that is deleted takes its timer along.
    timer = new QTimer(this);
}

void AdvWidget::connectCountdown()
{
    connect(timer, &QTimer::timeout, this, &AdvWidget::updateTimer);
    connect(closeButton, &QPushButton::clicked, this, &AdvWidget::hide);
}

void AdvWidget::showWithCountdown(int wait)
{
    if (withCountdown) {
        seconds = wait;
        timer->start();
        setWindowModality(Qt::ApplicationModal);
        show();
    }
    loadNextAdv();
}

void AdvWidget::loadNextAdv()
{
    const auto [picture, link] = AdvData::shared()->takeNext();
    advLabel->setPixmap(QPixmap(picture));
    advUrl = QUrl(link);

    mainLayout->setContentsMargins(0, 0, 0, 20);
    placeOnce(advLabel, 0, Qt::AlignHCenter);
    if (!withCountdown)
        return;
    timerLabel->setText(QStringLiteral("Please wait for 10 seconds..."));
    placeOnce(closeButton, 1, Qt::AlignHCenter);
    placeOnce(timerLabel, 1, Qt::AlignCenter);
    closeButton->hide();
    timerLabel->show();
    timer->setInterval(1000);
}

// Appends the widget, taking it out first if it is already there, so every reload keeps one
// picture, one button and one text in that order.
void AdvWidget::placeOnce(QWidget *widget, int stretch, Qt::Alignment alignment)
{
    mainLayout->removeWidget(widget);
    mainLayout->addWidget(widget, stretch, alignment);
}

void AdvWidget::onAdvClicked()
{
    QDesktopServices::openUrl(advUrl);
}

void AdvWidget::updateTimer()
{
    // A banner has nothing to count down.
    if (!withCountdown)
        return;
    if (countingDown) {
        timerLabel->setText(QStringLiteral("Please wait for %1 seconds...").arg(seconds));
        seconds = seconds > 0 ? seconds - 1 : 0;
        if (seconds <= 0)
            countingDown = false;
        return;
    }
    timer->stop();
    timerLabel->hide();
    closeButton->show();
    countingDown = true;
    qCDebug(lcAdv) << "next";
}

void AdvWidget::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && advLabel->geometry().contains(event->position().toPoint()))
        onAdvClicked();
    // Consumed either way, so a press on the banner never reaches the window behind it.
    event->accept();
}
