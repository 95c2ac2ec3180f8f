// SPDX-License-Identifier: MIT
#include "mainwindow/compressionjob.h"

#include "common/inputguard.h"
#include "common/progressdialog.h"

#include <QApplication>
#include <QTimer>

#include <memory>

namespace {

// Keeps the busy pointer up for exactly as long as the archiver runs.
struct BusyCursor
{
    BusyCursor() { QApplication::setOverrideCursor(Qt::BusyCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
};

} // namespace

CompressionJob::CompressionJob(QObject *parent) : QObject(parent), job(new PackingJob(this)) {}

QString CompressionJob::progressText(int fileCount, qint64 bytes)
{
    const QString files = fileCount == 1 ? QStringLiteral("1 file") : QStringLiteral("%1 files").arg(fileCount);
    if (bytes == 0)
        return QStringLiteral("Packing %1...").arg(files);
    const qint64 kilobyte = 1024;
    const qint64 megabyte = kilobyte * kilobyte;
    const QString size = bytes < megabyte ? QStringLiteral("%1 KB").arg((bytes + kilobyte - 1) / kilobyte)
                                          : QStringLiteral("%1 MB").arg((bytes + megabyte / 2) / megabyte);
    return QStringLiteral("Packing %1, %2...").arg(files, size);
}

// The progress dialog is made only for a run that lasts: styling it costs more than a small run.
CompressionJob::Result CompressionJob::run(const QString &archivePath, const QStringList &files, QWidget *window,
                                           const QList<EntryScan> &scans)
{
    BusyCursor busy;
    // The window takes no gestures during a run, also before the dialog shows.
    InputGuard guard;
    std::unique_ptr<ProgressDialog> dialog;
    QString label = QStringLiteral("Packing...");
    int percent = 0;
    QTimer lasting;
    lasting.setSingleShot(true);
    connect(&lasting, &QTimer::timeout, this, [&] {
        dialog = std::make_unique<ProgressDialog>(label, true, window);
        dialog->setValue(percent);
        connect(dialog.get(), &QProgressDialog::canceled, job, &PackingJob::cancel);
        guard.allow(dialog.get());
        progress = dialog.get();
        dialog->show();
    });
    lasting.start(500);

    // Sampling many large files takes a moment; the window keeps painting meanwhile, and "Cancel"
    // stops it at once.
    const PackingPlan plan = PackingPlan::make(
        files,
        [&] {
            QCoreApplication::processEvents();
            return !(dialog && dialog->wasCanceled());
        },
        scans);
    label = progressText(plan.fileCount, plan.bytes);
    if (dialog)
        dialog->setLabelText(label);
    const QMetaObject::Connection progressed = connect(job, &PackingJob::progressed, this, [&](int value) {
        percent = value;
        if (dialog)
            dialog->setValue(value);
    });
    const bool cancelled = dialog && dialog->wasCanceled();
    const Result result = cancelled ? Result{Outcome::Cancelled, QString()} : job->run(archivePath, plan);
    disconnect(progressed);
    lasting.stop();
    progress = nullptr;
    return result;
}
