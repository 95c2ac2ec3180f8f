// SPDX-License-Identifier: MIT
#pragma once

#include "archiving/packingjob.h"

#include <QObject>
#include <QString>
#include <QStringList>

class QProgressDialog;
class QWidget;

// "Compress" as the window shows it: a modal progress dialog that says what is being packed and
// offers "Cancel", a busy pointer, and no other input to the window while the packing job runs.
class CompressionJob : public QObject
{
    Q_OBJECT
public:
    using Outcome = PackingJob::Outcome;
    using Result = PackingJob::Result;

    explicit CompressionJob(QObject *parent = nullptr);

    // `scans`: a fresh reading of each of `files`, when the caller has one (see PackingPlan).
    Result run(const QString &archivePath, const QStringList &files, QWidget *window,
               const QList<EntryScan> &scans = {});

    // "Packing 3 files, 143 MB...", or "Packing 3 files..." when they are all empty.
    static QString progressText(int fileCount, qint64 bytes);

    void setProgram(const QString &program) { job->setProgram(program); }
    void setSilenceLimit(int milliseconds) { job->setSilenceLimit(milliseconds); }
    // The progress dialog of the current run, or null; for tests that press its "Cancel".
    QProgressDialog *progressDialog() const { return progress; }

private:
    PackingJob *job = nullptr;
    QProgressDialog *progress = nullptr;
};
