// SPDX-License-Identifier: MIT
#include "archiving/archiverprocess.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QProcess>
#include <QRegularExpression>
#include <QTimer>

#include <algorithm>

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

} // namespace

ArchiverProcess::ArchiverProcess(QObject *parent) : QObject(parent) {}

qint64 ArchiverProcess::lastPercent(const QString &output)
{
    // At the start of a progress line, after the backspaces that erased the one before: a file
    // name on the line may hold "1000%" too.
    static const QRegularExpression percent(QStringLiteral("(?:^|[\\b\\r\\n])\\s*(\\d{1,15})%"));
    qint64 last = -1;
    for (const QRegularExpressionMatch &match : percent.globalMatch(output))
        last = match.captured(1).toLongLong();
    return last;
}

void ArchiverProcess::cancel()
{
    if (!activeLoop)
        return;
    cancelRequested = true;
    activeLoop->quit();
}

RunVerdict::Run ArchiverProcess::run(const QString &program, const QStringList &arguments, int silenceLimitMs,
                                     const std::function<bool()> &withinBounds)
{
    qCDebug(lcArchiver) << program << arguments;
    RunVerdict::Run result;
    // A start that fails leaves one pipe of the toolkit's open for good, so a program that cannot
    // run is not tried.
    const QFileInfo executable(program);
    if (!executable.isFile() || !executable.isExecutable()) {
        result.started = false;
        return result;
    }
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setStandardInputFile(QProcess::nullDevice());
    process.setWorkingDirectory(QFileInfo(program).absolutePath());
    process.setProcessEnvironment(archiverEnvironment());

    QEventLoop loop;
    QTimer silence;
    silence.setSingleShot(true);
    silence.setInterval(silenceLimitMs);
    // Progress output alone is no proof of sense: a run that reads without end reports too.
    QTimer bounds;
    bounds.setInterval(500);
    const auto checkBounds = [&] {
        if (withinBounds && !result.overgrown && !withinBounds()) {
            result.overgrown = true;
            loop.quit();
        }
    };
    connect(&bounds, &QTimer::timeout, &loop, checkBounds);

    connect(&process, &QProcess::readyReadStandardOutput, &loop, [&] {
        const QString chunk = QString::fromUtf8(process.readAllStandardOutput());
        result.output += chunk;
        const qint64 percent = lastPercent(chunk);
        if (percent > overrunPercent && !result.overgrown) {
            result.overgrown = true;
            loop.quit();
        } else if (percent >= 0) {
            emit progressed(int(std::min<qint64>(percent, 100)));
        }
        silence.start();
        checkBounds();
    });
    connect(&silence, &QTimer::timeout, &loop, [&] {
        result.stalled = true;
        loop.quit();
    });
    connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    connect(&process, &QProcess::errorOccurred, &loop, [&](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            loop.quit();
    });

    activeLoop = &loop;
    cancelRequested = false;
    process.start(program, arguments, QIODevice::ReadOnly);
    silence.start();
    bounds.start();
    if (process.state() != QProcess::NotRunning || process.error() != QProcess::FailedToStart)
        loop.exec();
    activeLoop = nullptr;

    result.cancelled = cancelRequested;
    result.started = !(process.state() == QProcess::NotRunning && process.error() == QProcess::FailedToStart);
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished(-1);
        result.crashed = true;
    }
    result.output += QString::fromUtf8(process.readAllStandardOutput());
    if (result.started && !result.crashed) {
        result.crashed = process.exitStatus() == QProcess::CrashExit;
        result.exitCode = process.exitCode();
    }
    qCDebug(lcArchiver).noquote() << result.output;
    return result;
}
