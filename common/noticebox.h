// SPDX-License-Identifier: MIT
#pragma once

#include <QMessageBox>
#include <QPointer>

// The one look of every message the program shows: frameless, on the main window's pale ground with
// its border, blue text, at least 400 x 200 and centred over the window it speaks for. It grows in
// height for a longer text (a long path breaks after its separators), but never beyond the screen.
class NoticeBox : public QMessageBox
{
    Q_OBJECT
public:
    explicit NoticeBox(QWidget *anchor = nullptr);

    // Sets the buttons and both texts; the informative line is left out when empty.
    void setMessage(const QString &text, const QString &informative = QString(),
                    QMessageBox::StandardButtons buttons = QMessageBox::Ok);

    // A text with a place to break after each separator of a long path, which has no blank of its own.
    static QString breakable(const QString &text);
    // Shows a message with an Ok button over the active window and waits for it to close.
    static void tell(const QString &text, const QString &informative = QString());

protected:
    bool event(QEvent *event) override;

private:
    void fitToText();

    QPointer<QWidget> anchor;
};
