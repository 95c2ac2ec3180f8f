// SPDX-License-Identifier: MIT
#pragma once

#include <QPushButton>

// A button that holds a whole path as its text but shows it shortened in the middle ("/home/…/a.7z")
// when the room is too narrow, with the whole path as its tooltip: a long path must not push the
// window past the screen.
class PathButton : public QPushButton
{
    Q_OBJECT
public:
    explicit PathButton(const QString &path, QWidget *parent = nullptr);

    // Shown with the system's separators ("C:\\Users\\…"); path() gives it back with "/".
    void setPath(const QString &path);
    QString path() const;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
};
