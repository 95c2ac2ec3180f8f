// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class QProgressDialog;
class QWidget;

// One run of the external archiver: it builds the command line, starts "util/7z.exe", shows its
// progress, stops it when it falls silent or the user cancels, and leaves nothing half-written at
// the archive path when the run does not succeed.
class CompressionJob : public QObject
{
    Q_OBJECT
public:
    enum class Outcome { Succeeded, AccessDenied, Failed, Cancelled };

    struct Result
    {
        Outcome outcome = Outcome::Failed;
        QString output;
    };

    // How long the archiver may stay silent before it counts as stalled.
    static constexpr int defaultSilenceLimitMs = 30000;

    explicit CompressionJob(QObject *parent = nullptr);

    static QStringList arguments(const QString &archivePath, const QStringList &files);
    static Outcome judge(const QString &output);
    // The last percentage in a piece of progress output, or -1 when it holds none.
    static int lastPercent(const QString &output);

    // Runs the archiver to the end; while it works, a modal progress dialog over `window` (shown
    // only for runs that last a while) keeps the program visibly alive and offers "Cancel".
    Result run(const QString &archivePath, const QStringList &files, QWidget *window);

    void setProgram(const QString &program);
    void setWorkingDirectory(const QString &folder);
    void setSilenceLimit(int milliseconds);
    // The progress dialog of the current run, or null; for tests that press its "Cancel".
    QProgressDialog *progressDialog() const { return progress; }

private:
    static void removePartialArchive(const QString &archivePath);

    QString program;
    QString workingDirectory;
    int silenceLimitMs = defaultSilenceLimitMs;
    QProgressDialog *progress = nullptr;
};
