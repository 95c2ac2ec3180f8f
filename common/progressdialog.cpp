// SPDX-License-Identifier: MIT
#include "common/progressdialog.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QShowEvent>

namespace {

const QColor primary(0x52, 0x72, 0xBA);
const QColor onPrimary(0xFC, 0xFC, 0xFC);

const QString progressStyle = QStringLiteral(
    "QProgressDialog { background: #F2F6FF; }"
    "QLabel { font: normal normal 600 14px Noto Sans; color: #5272BA; }"
    "QProgressBar { border: 1px solid #BDCEE5; border-radius: 6px; background: #FCFCFC;"
    " font: normal normal 600 12px Noto Sans; min-height: 18px; }"
    "QProgressBar::chunk { background-color: #5272BA; border-radius: 5px; }"
    "QPushButton { background-color: #5272BA; border: 2px solid #5272BA; border-radius: 8px; padding: 4px 16px;"
    " font: normal normal 600 14px Noto Sans; color: #FCFCFC; }"
    "QPushButton:hover { background-color: #557cd4; border-color: #557cd4; }"
    "QPushButton:pressed { background-color: #517cdb; border-color: #517cdb; }"
    "QPushButton:focus { border-color: #29395D; }");

// Draws its percentage in the ground's colour over the fill and in the fill's colour over the
// ground, so that it reads at every value; the style sheet has a single text colour only.
class PercentBar : public QProgressBar
{
public:
    PercentBar() { setTextVisible(false); }

protected:
    void paintEvent(QPaintEvent *event) override
    {
        QProgressBar::paintEvent(event);
        const QString shown = text();
        const qint64 span = qint64(maximum()) - minimum();
        if (shown.isEmpty() || span <= 0)
            return;
        const QRect inside = contentsRect();
        const int filled = int(inside.width() * (qint64(value()) - minimum()) / span);
        QPainter painter(this);
        painter.setClipRect(inside.x(), 0, filled, height());
        painter.setPen(onPrimary);
        painter.drawText(rect(), Qt::AlignCenter, shown);
        painter.setClipRect(inside.x() + filled, 0, width(), height());
        painter.setPen(primary);
        painter.drawText(rect(), Qt::AlignCenter, shown);
    }
};

} // namespace

ProgressDialog::ProgressDialog(const QString &label, bool canCancel, QWidget *parent)
    : QProgressDialog(label, QStringLiteral("Cancel"), 0, 100, parent,
                      Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      cancellable(canCancel)
{
    setBar(new PercentBar);
    if (!cancellable)
        setCancelButton(nullptr);
    setWindowTitle(QStringLiteral("Parcelo"));
    setStyleSheet(progressStyle);
    setWindowModality(Qt::ApplicationModal);
    setMinimumWidth(360);
    // Made once the work has lasted, so it shows at once; the work's end, not the bar's, closes it.
    setMinimumDuration(0);
    setAutoClose(false);
    setAutoReset(false);
}

// Hidden while still this class, so that whoever watches windows sees a progress dialog go.
ProgressDialog::~ProgressDialog()
{
    hide();
}

// The toolkit's own Escape shortcut goes with the "Cancel" button; without one, a dialog's Escape
// would only hide it, and the work would go on unseen.
void ProgressDialog::keyPressEvent(QKeyEvent *event)
{
    if (event->key() != Qt::Key_Escape || event->modifiers() != Qt::NoModifier) {
        QProgressDialog::keyPressEvent(event);
        return;
    }
    event->accept();
    if (cancellable)
        emit canceled();
}

void ProgressDialog::closeEvent(QCloseEvent *event)
{
    if (!cancellable) {
        event->ignore();
        return;
    }
    QProgressDialog::closeEvent(event);
}

// A window manager offers maximising only for a window that can be resized, whatever the hints say.
void ProgressDialog::showEvent(QShowEvent *event)
{
    QProgressDialog::showEvent(event);
    setFixedSize(size());
}
