// SPDX-License-Identifier: MIT
#pragma once

#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <functional>

class QWidget;

namespace TestSupport {

using Answer = std::function<void(QWidget *modal)>;

// Closes a modal dialog by pressing its button with this text, or by rejecting it when the text
// is empty.
Answer pressButton(const QString &text = QString());

// Answers the next modal dialog that opens: records what a message box showed, then hands the
// dialog to `answer`. Create it before the code that opens the dialog, so none is left hanging.
class ModalAnswer
{
public:
    explicit ModalAnswer(Answer answer = pressButton());

    bool seen() const { return seenDialog; }
    QString text() const { return dialogText; }
    QString informativeText() const { return dialogInformativeText; }
    QStringList buttons() const { return buttonTexts; }
    QWidget *dialog() const { return modal; }

private:
    void poll();

    Answer answer;
    QTimer timer;
    bool seenDialog = false;
    QString dialogText;
    QString dialogInformativeText;
    QStringList buttonTexts;
    QPointer<QWidget> modal;
};

// The visible top-level widgets, for checks that a test left no window open.
int visibleTopLevels();

} // namespace TestSupport
