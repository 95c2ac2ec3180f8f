// SPDX-License-Identifier: MIT
#include "mainwindow/compressionjob.h"

#include <QApplication>
#include <QEvent>
#include <QProgressDialog>
#include <QTimer>

#include <memory>

namespace {

// The window's look for the progress dialog: its colours and font, and its buttons.
const QString progressStyle = QStringLiteral(
    "QProgressDialog { background: #F2F6FF; border: 1px solid #BDCEE5; }"
    "QLabel { font: normal normal 600 14px Noto Sans; color: #5272BA; }"
    "QProgressBar { border: 1px solid #BCD1FF; border-radius: 6px; background: #FCFCFC; color: #5272BA;"
    " text-align: center; font: 12px Noto Sans; min-height: 16px; }"
    "QProgressBar::chunk { background-color: #5272BA; border-radius: 5px; }"
    "QPushButton { background-color: #5272BA; border-radius: 8px; padding: 4px 16px;"
    " font: normal normal 600 14px Noto Sans; color: #FCFCFC; }"
    "QPushButton:hover { background-color: #557cd4; } QPushButton:pressed { background-color: #517cdb; }");

// Keeps the busy pointer up for exactly as long as the archiver runs.
struct BusyCursor
{
    BusyCursor() { QApplication::setOverrideCursor(Qt::BusyCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
};

// Swallows the user's input to every window but the progress dialog while the archiver runs, also
// during the moment before the dialog appears: the main window takes no gestures during a run.
class InputGuard : public QObject
{
public:
    InputGuard() { qApp->installEventFilter(this); }
    ~InputGuard() override { qApp->removeEventFilter(this); }

    void allow(QWidget *widget) { allowed = widget; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (!isUserInput(event->type()))
            return false;
        auto *widget = qobject_cast<QWidget *>(watched);
        return !(widget && allowed && (widget == allowed || allowed->isAncestorOf(widget)));
    }

private:
    static bool isUserInput(QEvent::Type type)
    {
        switch (type) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::Shortcut:
        case QEvent::ShortcutOverride:
        case QEvent::Wheel:
        case QEvent::ContextMenu:
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::Drop:
            return true;
        default:
            return false;
        }
    }

    QWidget *allowed = nullptr;
};

} // namespace

CompressionJob::CompressionJob(QObject *parent) : QObject(parent), job(new PackingJob(this)) {}

QString CompressionJob::progressText(int fileCount, qint64 bytes)
{
    const QString files = fileCount == 1 ? QStringLiteral("1 file") : QStringLiteral("%1 files").arg(fileCount);
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
    InputGuard guard;
    std::unique_ptr<QProgressDialog> dialog;
    QString label = QStringLiteral("Packing...");
    int percent = 0;
    QTimer lasting;
    lasting.setSingleShot(true);
    connect(&lasting, &QTimer::timeout, this, [&] {
        dialog = std::make_unique<QProgressDialog>(label, QStringLiteral("Cancel"), 0, 100, window);
        dialog->setWindowTitle(QStringLiteral("Parcelo"));
        dialog->setStyleSheet(progressStyle);
        dialog->setWindowModality(Qt::ApplicationModal);
        dialog->setMinimumDuration(0);
        dialog->setMinimumWidth(360);
        dialog->setAutoClose(false);
        dialog->setAutoReset(false);
        dialog->setValue(percent);
        connect(dialog.get(), &QProgressDialog::canceled, job, &PackingJob::cancel);
        guard.allow(dialog.get());
        progress = dialog.get();
        dialog->show();
    });
    lasting.start(500);

    // Sampling many large files takes a moment; the window keeps painting meanwhile.
    const PackingPlan plan = PackingPlan::make(
        files, [] { QCoreApplication::processEvents(); }, scans);
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
