// SPDX-License-Identifier: MIT
#include "common/noticebox.h"

#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QLayout>
#include <QRegularExpression>
#include <QScreen>

namespace {

const QSize least(400, 200);
const int widest = 560;
const QChar breakHere(0x200B); // zero width space

// The main window's ground, border and text; the sheet's button rule gives the buttons their blue.
const QString look = QStringLiteral("QMessageBox { background: #F7F9FF; border: 1px solid #BDCEE5; }"
                                    "QMessageBox QLabel { color: #5272BA; background: transparent; }"
                                    "QPushButton { min-width: 64px; min-height: 26px; padding: 0 12px; }"
                                    "QPushButton:focus { border: 2px solid #29395D; }");

} // namespace

NoticeBox::NoticeBox(QWidget *window) : QMessageBox(nullptr), anchor(window)
{
    setObjectName(QStringLiteral("Message_box"));
    setWindowTitle(QStringLiteral("Parcelo"));
    // setWindowModality resets the window flags, so the frameless flag comes after it.
    setWindowModality(Qt::ApplicationModal);
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setStyleSheet(look);
}

void NoticeBox::setMessage(const QString &text, const QString &informative, QMessageBox::StandardButtons buttons)
{
    setStandardButtons(buttons);
    setText(breakable(text));
    setInformativeText(breakable(informative));
}

QString NoticeBox::breakable(const QString &text)
{
    // Only runs long enough to need it: a short word never breaks.
    static const QRegularExpression longRun(QStringLiteral("\\S{25,}"));
    QString result;
    qsizetype done = 0;
    for (const QRegularExpressionMatch &run : longRun.globalMatch(text)) {
        result += text.mid(done, run.capturedStart() - done);
        QString word = run.captured();
        for (qsizetype i = word.size() - 1; i > 0; --i) {
            if (word.at(i - 1) == QLatin1Char('/') || word.at(i - 1) == QLatin1Char('\\'))
                word.insert(i, breakHere);
        }
        result += word;
        done = run.capturedEnd();
    }
    return result + text.mid(done);
}

void NoticeBox::tell(const QString &text, const QString &informative)
{
    NoticeBox box(QApplication::activeWindow());
    box.setMessage(text, informative);
    box.exec();
}

bool NoticeBox::event(QEvent *event)
{
    const bool handled = QMessageBox::event(event);
    if (event->type() == QEvent::Show || event->type() == QEvent::LayoutRequest)
        fitToText();
    if (event->type() == QEvent::Show) {
        // Beside the sheet's button look, theme icons clipped the button texts.
        for (QAbstractButton *button : buttons())
            button->setIcon(QIcon());
        if (anchor && anchor->isVisible())
            move(anchor->frameGeometry().center() - QPoint(width() / 2, height() / 2));
    }
    return handled;
}

// QMessageBox sizes itself to its text whenever it shows or lays out again; the box keeps its least
// size instead and grows only in height, as far as the screen allows.
void NoticeBox::fitToText()
{
    for (QLabel *label : findChildren<QLabel *>())
        label->setWordWrap(true);
    const QRect available = screen() ? screen()->availableGeometry() : QRect(QPoint(), least * 4);
    const int width = std::min(std::max(least.width(), std::min(sizeHint().width(), widest)), available.width());
    int height = least.height();
    if (layout() && layout()->hasHeightForWidth())
        height = std::max(height, layout()->totalHeightForWidth(width));
    else if (layout())
        height = std::max(height, layout()->totalSizeHint().height());
    setFixedSize(width, std::min(height, available.height()));
}
