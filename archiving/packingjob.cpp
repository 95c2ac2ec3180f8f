// SPDX-License-Identifier: MIT
#include "archiving/packingjob.h"

#include "archiving/archivercommand.h"
#include "archiving/archiverprocess.h"
#include "archiving/noreplacemove.h"
#include "archiving/zipdirectory.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QTemporaryDir>

Q_LOGGING_CATEGORY(lcPacking, "parcelo.packing")

namespace {
// The private folder beside the destination that the archive is written in; "X" are replaced.
const QString unfinishedFolderTemplate = QStringLiteral(".parcelo-unfinished-XXXXXX");
} // namespace

PackingJob::PackingJob(QObject *parent) : QObject(parent), process(new ArchiverProcess(this))
{
    setProgram(QStringLiteral("util/7z.exe"));
    connect(process, &ArchiverProcess::progressed, this, [this](int percent) {
        if (bytesInAll > 0)
            emit progressed(
                int(100.0 * (double(bytesDone) + double(bytesInRun) * percent / 100.0) / double(bytesInAll)));
        else
            emit progressed(percent);
    });
}

void PackingJob::setProgram(const QString &program)
{
    // Started by a relative name, the archiver would be looked up from the current folder, and on
    // Windows further along the search path.
    programPath = QDir::cleanPath(QDir(QCoreApplication::applicationDirPath()).absoluteFilePath(program));
}

void PackingJob::setSilenceLimit(int milliseconds)
{
    silenceLimitMs = milliseconds;
}

void PackingJob::cancel()
{
    process->cancel();
}

PackingJob::Result PackingJob::run(const QString &archivePath, const PackingPlan &plan)
{
    if (!plan.problem.isEmpty())
        return {Outcome::Failed, plan.problem};
    const QFileInfo archive(archivePath);
    const QString folder = archive.absolutePath();
    if (!QFileInfo(folder).isDir())
        return {Outcome::Failed, QStringLiteral("The folder %1 does not exist").arg(folder)};
    if (archive.exists() || archive.isSymLink())
        return {Outcome::Exists, QString()};

    QTemporaryDir unfinished(folder + QLatin1Char('/') + unfinishedFolderTemplate);
    if (!unfinished.isValid()) {
        qCWarning(lcPacking) << "no room to write in" << folder << unfinished.errorString();
        if (unfinished.errorString().contains(QLatin1String("space")))
            return {Outcome::Failed, QStringLiteral("There is not enough free space in %1").arg(folder)};
        return {Outcome::AccessDenied, QStringLiteral("Parcelo may not write in %1").arg(folder)};
    }
    const QString written = unfinished.filePath(archive.fileName());
    Result result = pack(written, plan);
    if (result.outcome != Outcome::Succeeded)
        return result;
    // Something that appeared under the name meanwhile, a link too, stays as it is.
    const NoReplaceMove::Result moved = NoReplaceMove::move(written, archivePath);
    if (moved.outcome == NoReplaceMove::Outcome::Taken)
        return {Outcome::Exists, QString()};
    if (moved.outcome == NoReplaceMove::Outcome::Failed) {
        qCWarning(lcPacking) << "could not move" << written << "to" << archivePath << moved.error;
        return {Outcome::Failed, QStringLiteral("The archive could not be put in place: %1").arg(moved.error)};
    }
    return result;
}

PackingJob::Result PackingJob::pack(const QString &written, const PackingPlan &plan)
{
    bytesDone = 0;
    bytesInAll = plan.bytes;
    emit progressed(0);
    for (const PackingPlan::Run &step : plan.runs) {
        bytesInRun = step.bytes;
        const RunVerdict::Run run = process->run(programPath, command(written, step), silenceLimitMs);
        const Result result = verdict(run, written);
        if (result.outcome != Outcome::Succeeded)
            return result;
        bytesDone += step.bytes;
    }
    bytesInRun = 0;

    ArchiveContents contents;
    QString unreadable;
    if (!ZipDirectory::read(written, &contents, &unreadable)) {
        qCWarning(lcPacking) << "cannot read back" << written << unreadable;
        return {Outcome::Failed, QStringLiteral("The written archive could not be read back to check it")};
    }
    const QString differences = plan.expected.differences(contents);
    if (!differences.isEmpty())
        return {Outcome::Failed, differences};
    emit progressed(100);
    return {Outcome::Succeeded, QString()};
}

// Names that would not fit on the command line go to list files beside the unfinished archive,
// which go with its folder.
QStringList PackingJob::command(const QString &written, const PackingPlan::Run &step) const
{
    const QStringList arguments =
        ArchiverCommand::add(written, step.items, step.excluded, step.linksAsLinks, step.stored);
    if (ArchiverCommand::length(programPath, arguments) <= lengthLimit ||
        !ArchiverCommand::listable(step.items + step.excluded))
        return arguments;
    const QString folder = QFileInfo(written).absolutePath();
    const QString itemList = folder + QStringLiteral("/items.txt");
    const QString excludedList = step.excluded.isEmpty() ? QString() : folder + QStringLiteral("/excluded.txt");
    QFile items(itemList);
    QFile excluded(excludedList);
    const QByteArray itemText = ArchiverCommand::listFile(step.items);
    const QByteArray excludedText = ArchiverCommand::listFile(step.excluded);
    if (!items.open(QIODevice::WriteOnly | QIODevice::Truncate) || items.write(itemText) != itemText.size() ||
        (!excludedList.isEmpty() && (!excluded.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
                                     excluded.write(excludedText) != excludedText.size()))) {
        qCWarning(lcPacking) << "cannot write the list files in" << folder;
        return arguments;
    }
    return ArchiverCommand::addFromLists(written, itemList, excludedList, step.linksAsLinks, step.stored);
}

PackingJob::Result PackingJob::verdict(const RunVerdict::Run &run, const QString &written) const
{
    const RunVerdict judged = RunVerdict::judge(run, written, programPath, silenceLimitMs / 1000);
    switch (judged.outcome) {
    case RunVerdict::Outcome::Succeeded:
        return {Outcome::Succeeded, QString()};
    case RunVerdict::Outcome::AccessDenied:
        return {Outcome::AccessDenied, judged.cause};
    case RunVerdict::Outcome::Cancelled:
        return {Outcome::Cancelled, QString()};
    case RunVerdict::Outcome::Failed:
        break;
    }
    return {Outcome::Failed, judged.cause};
}
