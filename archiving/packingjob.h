// SPDX-License-Identifier: MIT
#pragma once

#include "archiving/archivercommand.h"
#include "archiving/packingplan.h"
#include "archiving/runverdict.h"

#include <QObject>
#include <QString>
#include <QStringList>

class ArchiverProcess;

// Packs the chosen entries into one ZIP archive and proves it before saying so. The archiver
// writes into a new private folder beside the destination (same file system), never under the
// archive's own name; the written archive is listed and compared with what was chosen, and only
// then moved to its name, by a rename that never replaces anything. Whatever happens, nothing
// else is left in the destination folder.
class PackingJob : public QObject
{
    Q_OBJECT
public:
    enum class Outcome { Succeeded, AccessDenied, Failed, Cancelled, Exists };
    struct Result
    {
        Outcome outcome = Outcome::Failed;
        // The cause in plain words, for the message's informative line; empty on success.
        QString cause;
    };

    static constexpr int defaultSilenceLimitMs = 30000;
    explicit PackingJob(QObject *parent = nullptr);

    Result run(const QString &archivePath, const PackingPlan &plan);

    // The archiver, by absolute path (a relative one is taken from the program's folder).
    void setProgram(const QString &program);
    void setSilenceLimit(int milliseconds);
    // Longer command lines pass their names in list files.
    void setCommandLineLimit(qsizetype characters) { lengthLimit = characters; }

signals:
    // Over the whole job, 0 to 100.
    void progressed(int percent);

public slots:
    void cancel();

private:
    Result pack(const QString &written, const QString &folder, const PackingPlan &plan);
    Result verdict(const RunVerdict::Run &run, const QString &written, const QString &folder,
                   const PackingPlan::Run &step) const;
    QStringList command(const QString &written, const PackingPlan::Run &step, QString *problem) const;

    ArchiverProcess *process = nullptr;
    QString programPath;
    int silenceLimitMs = defaultSilenceLimitMs;
    qsizetype lengthLimit = ArchiverCommand::defaultLengthLimit;
    qint64 bytesDone = 0;
    qint64 bytesInRun = 0;
    qint64 bytesInAll = 0;
};
