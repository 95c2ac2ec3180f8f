// SPDX-License-Identifier: MIT
#pragma once

#include <QMap>
#include <QStringList>
#include <QWidget>

// The panel that lists the chosen files. Placeholder until the file collection lands: it keeps
// no files yet, so the main window can be wired and tested against its interface.
class FileWidget : public QWidget
{
    Q_OBJECT
public:
    explicit FileWidget(QWidget *parent = nullptr);

signals:
    void sizeExceeded(QString error);
    void sizeChanged(float size);
    void initDestinationPath(QString fileName);

public slots:
    void addFile(QString path);
    void addFiles(QStringList paths);
    void removeAllFiles();
    QStringList getFiles();
    float getSize();

private:
    QMap<QString, QWidget *> fileMap;
};
