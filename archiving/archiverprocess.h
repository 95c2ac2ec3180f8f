// SPDX-License-Identifier: MIT
#pragma once

#include "archiving/runverdict.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

class QEventLoop;

// Runs the archiver once, to its end, in a local event loop so the windows keep painting. It
// stops the archiver when it falls silent for too long, when it reads well past what it found,
// when `withinBounds` (asked at each piece of output and twice a second) says it has written too
// much, or when cancel() is called, and gives it no standard input: nothing can wait for an answer.
class ArchiverProcess : public QObject
{
    Q_OBJECT
public:
    explicit ArchiverProcess(QObject *parent = nullptr);

    RunVerdict::Run run(const QString &program, const QStringList &arguments, int silenceLimitMs,
                        const std::function<bool()> &withinBounds = {});

    // The last percentage in a piece of progress output, or -1 when it holds none. It passes 100
    // when the archiver reads more than it found when it looked: a file that grows, or a device.
    static qint64 lastPercent(const QString &output);
    // Past this, the run is reading what was not there when it began, perhaps without end.
    static constexpr int overrunPercent = 110;

signals:
    void progressed(int percent);

public slots:
    void cancel();

private:
    bool cancelRequested = false;
    QEventLoop *activeLoop = nullptr;
};
