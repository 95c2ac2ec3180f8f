// SPDX-License-Identifier: MIT
#include "app/dialoglog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QInputDialog>
#include <QLoggingCategory>
#include <QMessageBox>
#include <QProgressDialog>
#include <QWidget>

Q_LOGGING_CATEGORY(lcUi, "parcelo.ui")

namespace {

// One line per text, with quotes and line breaks escaped, so a script can match it.
QString quoted(QString text)
{
    // Break opportunities in long paths are not part of what is said.
    text.remove(QChar(0x200B));
    text.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    text.replace(QLatin1Char('"'), QStringLiteral("\\\""));
    text.replace(QLatin1Char('\n'), QStringLiteral("\\n"));
    return QLatin1Char('"') + text + QLatin1Char('"');
}

} // namespace

DialogLog::DialogLog(QObject *parent) : QObject(parent)
{
    qApp->installEventFilter(this);
}

QString DialogLog::describe(const QWidget *window, bool shown)
{
    // Dialogs go by the toolkit's class they are, so scripts need not know the program's own.
    QString kind = QString::fromLatin1(window->metaObject()->className());
    for (const QMetaObject *meta = window->metaObject(); meta; meta = meta->superClass()) {
        if (meta == &QMessageBox::staticMetaObject || meta == &QProgressDialog::staticMetaObject ||
            meta == &QInputDialog::staticMetaObject)
            kind = QString::fromLatin1(meta->className());
    }
    QString line =
        QStringLiteral("%1 %2 title=%3")
            .arg(shown ? QStringLiteral("shown") : QStringLiteral("hidden"), kind, quoted(window->windowTitle()));
    if (const auto *box = qobject_cast<const QMessageBox *>(window)) {
        line += QStringLiteral(" text=%1 informative=%2").arg(quoted(box->text()), quoted(box->informativeText()));
        QStringList buttons;
        for (const QAbstractButton *button : box->buttons())
            buttons << button->text();
        line += QStringLiteral(" buttons=%1").arg(quoted(buttons.join(QLatin1Char('|'))));
    } else if (const auto *progress = qobject_cast<const QProgressDialog *>(window)) {
        line += QStringLiteral(" text=%1").arg(quoted(progress->labelText()));
    } else if (const auto *input = qobject_cast<const QInputDialog *>(window)) {
        line += QStringLiteral(" text=%1 value=%2").arg(quoted(input->labelText()), quoted(input->textValue()));
    }
    return line;
}

bool DialogLog::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::Show && type != QEvent::Hide)
        return false;
    const auto *widget = qobject_cast<const QWidget *>(watched);
    // Menus, tooltips and the completer's list are windows too, but not what a user reads.
    if (!widget || !widget->isWindow() || (widget->windowType() != Qt::Window && widget->windowType() != Qt::Dialog))
        return false;
    qCInfo(lcUi).noquote() << describe(widget, type == QEvent::Show);
    return false;
}
