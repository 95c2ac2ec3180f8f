// SPDX-License-Identifier: MIT
#include "testsupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>

namespace TestSupport {

Answer pressButton(const QString &text)
{
    return [text](QWidget *modal) {
        if (!text.isEmpty()) {
            for (QAbstractButton *button : modal->findChildren<QAbstractButton *>()) {
                if (button->text().remove(QLatin1Char('&')).compare(text, Qt::CaseInsensitive) == 0) {
                    button->click();
                    return;
                }
            }
        }
        if (auto *dialog = qobject_cast<QDialog *>(modal))
            dialog->reject();
        else
            modal->close();
    };
}

ModalAnswer::ModalAnswer(Answer reply, Kind dialogKind) : answer(std::move(reply)), kind(dialogKind)
{
    timer.setInterval(10);
    QObject::connect(&timer, &QTimer::timeout, [this] { poll(); });
    timer.start();
}

void ModalAnswer::poll()
{
    QWidget *active = QApplication::activeModalWidget();
    if (!active || !active->isVisible())
        return;
    if ((qobject_cast<QProgressDialog *>(active) != nullptr) != (kind == Progress))
        return;
    timer.stop();
    seenDialog = true;
    modal = active;
    if (auto *box = qobject_cast<QMessageBox *>(active)) {
        // What a reader sees: without the invisible places where a long path may break.
        dialogText = box->text().remove(QChar(0x200B));
        dialogInformativeText = box->informativeText().remove(QChar(0x200B));
    }
    answer(active);
}

ProgressWatch::ProgressWatch(bool cancelEach) : cancel(cancelEach)
{
    qApp->installEventFilter(this);
}

ProgressWatch::~ProgressWatch()
{
    qApp->removeEventFilter(this);
}

bool ProgressWatch::eventFilter(QObject *watched, QEvent *event)
{
    auto *dialog = qobject_cast<QProgressDialog *>(watched);
    if (!dialog || event->type() != QEvent::Show)
        return false;
    ++shown;
    for (QPushButton *button : dialog->findChildren<QPushButton *>()) {
        if (cancel && button->text() == QLatin1String("Cancel"))
            QMetaObject::invokeMethod(button, &QPushButton::click, Qt::QueuedConnection);
    }
    return false;
}

int visibleTopLevels()
{
    int count = 0;
    for (QWidget *widget : QApplication::topLevelWidgets())
        count += widget->isVisible() ? 1 : 0;
    return count;
}

} // namespace TestSupport
