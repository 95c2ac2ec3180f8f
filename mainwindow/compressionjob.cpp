// SPDX-License-Identifier: MIT
#include "mainwindow/compressionjob.h"

#include <QApplication>
#include <QDebug>
#include <QDir>
#include <QEvent>
#include <QEventLoop>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QProcess>
#include <QProgressDialog>
#include <QRegularExpression>
#include <QTimer>

Q_LOGGING_CATEGORY(lcArchiver, "parcelo.archiver")

namespace {

// The archiver names files by the locale it runs in; a UTF-8 locale keeps every name as it is.
QProcessEnvironment archiverEnvironment()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
#ifndef Q_OS_WIN
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
#endif
    return environment;
}

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
    explicit InputGuard(QWidget *allowed) : allowed(allowed) { qApp->installEventFilter(this); }
    ~InputGuard() override { qApp->removeEventFilter(this); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (!isUserInput(event->type()))
            return false;
        auto *widget = qobject_cast<QWidget *>(watched);
        return !(widget && (widget == allowed || allowed->isAncestorOf(widget)));
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

    QWidget *allowed;
};

} // namespace

CompressionJob::CompressionJob(QObject *parent)
    : QObject(parent), program(QStringLiteral("util/7z.exe")), workingDirectory(QCoreApplication::applicationDirPath())
{}

QStringList CompressionJob::arguments(const QString &archivePath, const QStringList &files)
{
    // -spd: names are names, not wildcards; no -r, so a name is not sought again in subfolders;
    // -bsp1: progress on standard output, our sign that the archiver is still working;
    // --: a path that begins with "-" is not a switch.
    QStringList arguments{QStringLiteral("a"),     QStringLiteral("-tzip"), QStringLiteral("-spd"),
                          QStringLiteral("-bsp1"), QStringLiteral("--"),    archivePath};
    arguments += files;
    return arguments;
}

CompressionJob::Outcome CompressionJob::judge(const QString &output)
{
    if (output.contains(QStringLiteral("Everything is Ok")))
        return Outcome::Succeeded;
    // Windows words a refused write one way, POSIX systems another.
    if (output.contains(QStringLiteral("Access is denied.")) || output.contains(QStringLiteral("Permission denied")))
        return Outcome::AccessDenied;
    return Outcome::Failed;
}

int CompressionJob::lastPercent(const QString &output)
{
    static const QRegularExpression percent(QStringLiteral("(\\d{1,3})%"));
    int last = -1;
    for (const QRegularExpressionMatch &match : percent.globalMatch(output))
        last = match.captured(1).toInt();
    return last;
}

void CompressionJob::setProgram(const QString &newProgram)
{
    program = newProgram;
}

void CompressionJob::setWorkingDirectory(const QString &folder)
{
    workingDirectory = folder;
}

void CompressionJob::setSilenceLimit(int milliseconds)
{
    silenceLimitMs = milliseconds;
}

CompressionJob::Result CompressionJob::run(const QString &archivePath, const QStringList &files, QWidget *window)
{
    const QStringList args = arguments(archivePath, files);
    qCDebug(lcArchiver) << program << args;

    BusyCursor busy;
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setWorkingDirectory(workingDirectory);
    process.setProcessEnvironment(archiverEnvironment());

    QProgressDialog dialog(QStringLiteral("Compressing files..."), QStringLiteral("Cancel"), 0, 100, window);
    dialog.setWindowTitle(QStringLiteral("Parcelo"));
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.setMinimumDuration(500);
    dialog.setAutoClose(false);
    dialog.setAutoReset(false);
    dialog.setValue(0);
    progress = &dialog;
    InputGuard guard(&dialog);

    Result result;
    bool stalled = false;
    QEventLoop loop;
    QTimer silence;
    silence.setSingleShot(true);
    silence.setInterval(silenceLimitMs);

    connect(&process, &QProcess::readyReadStandardOutput, &loop, [&] {
        const QString chunk = QString::fromUtf8(process.readAllStandardOutput());
        result.output += chunk;
        const int percent = lastPercent(chunk);
        if (percent >= 0 && percent <= 100)
            dialog.setValue(percent);
        silence.start();
    });
    connect(&silence, &QTimer::timeout, &loop, [&] {
        stalled = true;
        loop.quit();
    });
    connect(&dialog, &QProgressDialog::canceled, &loop, &QEventLoop::quit);
    connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    connect(&process, &QProcess::errorOccurred, &loop, [&](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            loop.quit();
    });

    process.start(program, args, QIODevice::ReadWrite);
    silence.start();
    if (process.state() != QProcess::NotRunning || process.error() != QProcess::FailedToStart)
        loop.exec();

    const bool cancelled = dialog.wasCanceled();
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished(-1);
    }
    result.output += QString::fromUtf8(process.readAllStandardOutput());
    progress = nullptr;
    dialog.close();
    qCDebug(lcArchiver).noquote() << result.output;

    if (cancelled)
        result.outcome = Outcome::Cancelled;
    else if (stalled)
        result.outcome = Outcome::Failed;
    else
        result.outcome = judge(result.output);
    if (result.outcome != Outcome::Succeeded)
        removePartialArchive(archivePath);
    return result;
}

// The caller made sure nothing stood at the archive path before the run, so whatever stands there
// now is the archiver's unfinished work.
void CompressionJob::removePartialArchive(const QString &archivePath)
{
    const QFileInfo info(archivePath);
    if (info.isFile() || info.isSymLink())
        QFile::remove(archivePath);
}
