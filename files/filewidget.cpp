// SPDX-License-Identifier: MIT
#include "files/filewidget.h"

FileWidget::FileWidget(QWidget *parent) : QWidget(parent)
{
    setFixedHeight(273);
}

void FileWidget::addFile(QString path)
{
    Q_UNUSED(path);
}

void FileWidget::addFiles(QStringList paths)
{
    for (const QString &path : paths)
        addFile(path);
}

void FileWidget::removeAllFiles()
{
    fileMap.clear();
    emit sizeChanged(0.0f);
}

QStringList FileWidget::getFiles()
{
    return fileMap.keys();
}

float FileWidget::getSize()
{
    return 0.0f;
}
