// SPDX-License-Identifier: MIT
#include "archiving/packingjob.h"

#include "archiving/archivercommand.h"
#include "archiving/archiverprocess.h"
#include "archiving/noreplacemove.h"
#include "archiving/zipdirectory.h"
#include "common/namelist.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QTemporaryDir>

#include <algorithm>

Q_LOGGING_CATEGORY(lcPacking, "parcelo.packing")

namespace {

// The private folder beside the destination that the archive is written in; "X" are replaced.
const QString unfinishedFolderTemplate = QStringLiteral(".parcelo-unfinished-XXXXXX");
// Inside it, names of our own that no archive name can meet: the archive's own name is given only
// by the final move.
const QString writtenName = QStringLiteral("archive.zip");
const QString itemListName = QStringLiteral("items.txt");
const QString excludedListName = QStringLiteral("excluded.txt");
// The longest file name most file systems take, in bytes.
const int longestName = 255;

// Names as a message can show them: a line break in a name would break the message's line.
QStringList shown(QStringList names)
{
    for (QString &name : names)
        name.replace(QLatin1Char('\n'), QLatin1String("\\n")).replace(QLatin1Char('\r'), QLatin1String("\\r"));
    return names;
}

// The chosen entry whose folder holds `folder`, following links as the packing does; empty when none.
QString chosenAround(const QString &folder, const PackingPlan &plan)
{
    const QString inside = QFileInfo(folder).canonicalFilePath() + QLatin1Char('/');
    for (const PackingPlan::Run &step : plan.runs) {
        for (const QString &item : step.items) {
            const QFileInfo entry(item);
            if (entry.isDir() && inside.startsWith(entry.canonicalFilePath() + QLatin1Char('/')))
                return entry.fileName();
        }
    }
    return QString();
}

// The largest file in `folder`: the archive, or 7-Zip's new copy of it while it adds to it.
qint64 largestFile(const QString &folder)
{
    qint64 largest = 0;
    for (const QFileInfo &file : QDir(folder).entryInfoList(QDir::Files | QDir::Hidden))
        largest = std::max(largest, file.size());
    return largest;
}

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
    if (plan.stopped)
        return {Outcome::Cancelled, QString()};
    if (!plan.problem.isEmpty())
        return {Outcome::Failed, plan.problem};
    const QFileInfo archive(archivePath);
    const QString folder = archive.absolutePath();
    const QString shownFolder = QDir::toNativeSeparators(folder);
    if (!QFileInfo(folder).isDir())
        return {Outcome::Failed, QStringLiteral("The folder %1 does not exist").arg(shownFolder)};
    if (archive.fileName().toUtf8().size() > longestName)
        return {Outcome::Failed,
                QStringLiteral("The archive's name is too long: a name may have at most %1 bytes").arg(longestName)};
    // The archive would be packed into itself, and the folder it is written in with it.
    const QString around = chosenAround(folder, plan);
    if (!around.isEmpty())
        return {Outcome::Failed,
                QStringLiteral("The archive cannot be saved inside %1, which is being packed. Choose another folder "
                               "for it.")
                    .arg(around)};
    if (archive.exists() || archive.isSymLink())
        return {Outcome::Exists, QString()};

    QTemporaryDir unfinished(folder + QLatin1Char('/') + unfinishedFolderTemplate);
    if (!unfinished.isValid()) {
        qCWarning(lcPacking) << "no room to write in" << folder << unfinished.errorString();
        if (unfinished.errorString().contains(QLatin1String("space")))
            return {Outcome::Failed, QStringLiteral("There is not enough free space in %1").arg(shownFolder)};
        return {Outcome::AccessDenied, QStringLiteral("Parcelo may not write in %1").arg(shownFolder)};
    }
    const QString written = unfinished.filePath(writtenName);
    Result result = pack(written, folder, plan);
    if (result.outcome == Outcome::Succeeded) {
        // Something that appeared under the name meanwhile, a link too, stays as it is.
        const NoReplaceMove::Result moved = NoReplaceMove::move(written, archivePath);
        if (moved.outcome == NoReplaceMove::Outcome::Taken)
            return {Outcome::Exists, QString()};
        if (moved.outcome == NoReplaceMove::Outcome::Refused)
            result = {Outcome::AccessDenied, QStringLiteral("Parcelo may not write in %1").arg(shownFolder)};
        else if (moved.outcome == NoReplaceMove::Outcome::Failed)
            result = {Outcome::Failed, QStringLiteral("The archive could not be put in place: %1").arg(moved.error)};
        if (moved.outcome != NoReplaceMove::Outcome::Moved)
            qCWarning(lcPacking) << "could not move" << written << "to" << archivePath << moved.error;
    }
    if (result.outcome == Outcome::Succeeded || result.outcome == Outcome::Cancelled)
        return result;
    // Whatever 7-Zip or the check said, a folder taken away meanwhile is the cause.
    if (!QFileInfo(folder).isDir())
        return {Outcome::Failed, QStringLiteral("The folder %1 no longer exists").arg(shownFolder)};
    // A folder that became read-only keeps our folder: the user should know what it is.
    if (!unfinished.remove())
        result.cause += QStringLiteral("; its unfinished folder %1 could not be removed")
                            .arg(QFileInfo(unfinished.path()).fileName());
    return result;
}

PackingJob::Result PackingJob::pack(const QString &written, const QString &folder, const PackingPlan &plan)
{
    bytesDone = 0;
    bytesInAll = plan.bytes;
    emit progressed(0);
    const QString unfinished = QFileInfo(written).absolutePath();
    const auto withinPlan = [&] { return largestFile(unfinished) <= plan.ceiling; };
    for (const PackingPlan::Run &step : plan.runs) {
        bytesInRun = step.bytes;
        QString problem;
        const QStringList arguments = command(written, step, &problem);
        if (!problem.isEmpty())
            return {Outcome::Failed, problem};
        const RunVerdict::Run run = process->run(programPath, arguments, silenceLimitMs, withinPlan);
        const Result result = verdict(run, written, folder, step);
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
// which go with its folder. A name that a list file cannot carry exactly stays on the command line;
// when those alone are too long, the run cannot be made and `problem` says which names.
QStringList PackingJob::command(const QString &written, const PackingPlan::Run &step, QString *problem) const
{
    const QStringList arguments =
        ArchiverCommand::add(written, step.items, step.excluded, step.linksAsLinks, step.stored);
    if (ArchiverCommand::length(programPath, arguments) <= lengthLimit)
        return arguments;
    QStringList listedItems, namedItems, listedExcluded, namedExcluded;
    for (const QString &item : step.items)
        (ArchiverCommand::listable(item) ? listedItems : namedItems) << item;
    for (const QString &name : step.excluded)
        (ArchiverCommand::listable(name) ? listedExcluded : namedExcluded) << name;
    const QString folder = QFileInfo(written).absolutePath();
    const QString itemList = folder + QLatin1Char('/') + itemListName;
    const QString excludedList = listedExcluded.isEmpty() ? QString() : folder + QLatin1Char('/') + excludedListName;
    const QStringList listing = ArchiverCommand::addFromLists(written, itemList, excludedList, step.linksAsLinks,
                                                              step.stored, namedItems, namedExcluded);
    // Only the system's own cap stops a run here; a lower limit only moves names to list files.
    if (ArchiverCommand::length(programPath, listing) > std::max(lengthLimit, ArchiverCommand::defaultLengthLimit)) {
        QStringList names;
        for (const QString &item : std::as_const(namedItems))
            names << QFileInfo(item).fileName();
        *problem = QStringLiteral("These names cannot be passed to 7-Zip: %1. Rename them, or choose fewer files.")
                       .arg(nameList(shown(names + namedExcluded)));
        return {};
    }
    QFile items(itemList);
    QFile excluded(excludedList);
    const QByteArray itemText = ArchiverCommand::listFile(listedItems);
    const QByteArray excludedText = ArchiverCommand::listFile(listedExcluded);
    if (!items.open(QIODevice::WriteOnly | QIODevice::Truncate) || items.write(itemText) != itemText.size() ||
        (!excludedList.isEmpty() && (!excluded.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
                                     excluded.write(excludedText) != excludedText.size()))) {
        qCWarning(lcPacking) << "cannot write the list files in" << folder;
        *problem = QStringLiteral("The list of names for 7-Zip could not be written in %1")
                       .arg(QDir::toNativeSeparators(QFileInfo(folder).absolutePath()));
        return {};
    }
    return listing;
}

PackingJob::Result PackingJob::verdict(const RunVerdict::Run &run, const QString &written, const QString &folder,
                                       const PackingPlan::Run &step) const
{
    if (run.overgrown && !run.cancelled) {
        QStringList names;
        for (const QString &item : step.items)
            names << QFileInfo(item).fileName();
        return {Outcome::Failed,
                QStringLiteral("%1 changed while %2 packed: 7-Zip wrote more than was chosen")
                    .arg(nameList(names), names.size() == 1 ? QStringLiteral("it was") : QStringLiteral("they were"))};
    }
    const RunVerdict judged = RunVerdict::judge(run, written, programPath, silenceLimitMs / 1000, folder);
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
