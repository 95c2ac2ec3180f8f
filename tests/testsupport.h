// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <functional>

class QWidget;

namespace TestSupport {

using Answer = std::function<void(QWidget *modal)>;

// Closes a modal dialog by pressing its button with this text (mnemonics and case aside), or by
// rejecting it when there is no such button.
Answer pressButton(const QString &text = QString());

// Answers the next modal dialog that opens: records what a message box showed, then hands the
// dialog to `answer`. Create it before the code that opens the dialog, so none is left hanging.
// A progress dialog is answered only when asked for: it is not a question.
class ModalAnswer
{
public:
    enum Kind { Question, Progress };
    explicit ModalAnswer(Answer answer = pressButton(), Kind kind = Question);

    bool seen() const { return seenDialog; }
    QString text() const { return dialogText; }
    QString informativeText() const { return dialogInformativeText; }
    QWidget *dialog() const { return modal; }

private:
    void poll();

    Answer answer;
    Kind kind;
    QTimer timer;
    bool seenDialog = false;
    QString dialogText;
    QString dialogInformativeText;
    QPointer<QWidget> modal;
};

// Watches for progress dialogs while it lives: counts those that show, and presses "Cancel" on each
// when asked to (as soon as the work lets events through).
class ProgressWatch : public QObject
{
public:
    explicit ProgressWatch(bool cancel = false);
    ~ProgressWatch() override;

    int shown = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool cancel;
};

// The visible top-level widgets, for checks that a test left no window open.
int visibleTopLevels();

} // namespace TestSupport
