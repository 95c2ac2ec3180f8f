// SPDX-License-Identifier: MIT
#include "mainwindow/pathbutton.h"

#include <QDir>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace {
// Enough to tell the start and the end of a path apart.
const int leastTextWidth = 120;
} // namespace

PathButton::PathButton(const QString &path, QWidget *parent) : QPushButton(parent)
{
    // A push button never shrinks below its text; this one may, down to its least width.
    setSizePolicy(QSizePolicy::Preferred, sizePolicy().verticalPolicy());
    setPath(path);
}

void PathButton::setPath(const QString &path)
{
    const QString shown = QDir::toNativeSeparators(path);
    setText(shown);
    setToolTip(shown);
    setAccessibleName(shown);
}

QString PathButton::path() const
{
    return QDir::fromNativeSeparators(text());
}

QSize PathButton::minimumSizeHint() const
{
    QSize least = QPushButton::minimumSizeHint();
    const int textWidth = fontMetrics().horizontalAdvance(text());
    least.setWidth(least.width() - textWidth + std::min(textWidth, leastTextWidth));
    return least;
}

void PathButton::paintEvent(QPaintEvent *)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    const QRect room = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
    option.text = fontMetrics().elidedText(text(), Qt::ElideMiddle, room.width());
    painter.drawControl(QStyle::CE_PushButton, option);
}
