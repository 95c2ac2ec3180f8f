// SPDX-License-Identifier: MIT
#pragma once

#include "archiving/runverdict.h"

#include <QObject>
#include <QString>
#include <QStringList>

class QEventLoop;

// Runs the archiver once, to its end, in a local event loop so the windows keep painting. It
// stops the archiver when it falls silent for too long or when cancel() is called, and gives it
// no standard input: nothing can wait for an answer.
class ArchiverProcess : public QObject
{
    Q_OBJECT
public:
    explicit ArchiverProcess(QObject *parent = nullptr);

    RunVerdict::Run run(const QString &program, const QStringList &arguments, int silenceLimitMs);

    // The last percentage in a piece of progress output, or -1 when it holds none.
    static int lastPercent(const QString &output);

signals:
    void progressed(int percent);

public slots:
    void cancel();

private:
    bool cancelRequested = false;
    QEventLoop *activeLoop = nullptr;
};
