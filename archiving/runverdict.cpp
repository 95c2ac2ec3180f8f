// SPDX-License-Identifier: MIT
#include "archiving/runverdict.h"

#include "common/namelist.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

// "<path> : errno=13 : Permission denied" (POSIX builds) or "<path> : Access is denied." (Windows,
// whose system messages hold no colon); a name may itself hold " : ".
const QRegularExpression fileProblem(QStringLiteral("^(/.*) : (errno=\\d+ : .*)$|^([A-Za-z]:[\\\\/].*) : ([^:]+)$"));

bool mentionsFullDisk(const QString &output)
{
    return output.contains(QLatin1String("errno=28")) || output.contains(QLatin1String("No space left on device")) ||
           output.contains(QLatin1String("There is not enough space on the disk"));
}

bool refusesAccess(const QString &text)
{
    return text.contains(QLatin1String("Permission denied")) || text.contains(QLatin1String("Access is denied"));
}

} // namespace

QStringList RunVerdict::shownLines(const QString &output)
{
    QStringList lines;
    for (QString line : output.split(QLatin1Char('\n'))) {
        line.remove(QLatin1Char('\r'));
        // What follows the last backspace is what stays visible: the progress before it was
        // erased by the backspaces and blanks that 7-Zip writes over it.
        const qsizetype lastBackspace = line.lastIndexOf(QLatin1Char('\b'));
        lines << line.mid(lastBackspace + 1).trimmed();
    }
    return lines;
}

RunVerdict RunVerdict::judge(const Run &run, const QString &archive, const QString &program, int silenceSeconds,
                             const QString &folder)
{
    RunVerdict verdict;
    const QStringList lines = shownLines(run.output);
    if (run.cancelled) {
        verdict.outcome = Outcome::Cancelled;
        return verdict;
    }
    if (!run.started) {
        verdict.cause = QFileInfo::exists(program) ? QStringLiteral("7-Zip could not be started: %1").arg(program)
                                                   : QStringLiteral("7-Zip was not found at %1").arg(program);
        return verdict;
    }
    if (run.stalled) {
        verdict.cause = QStringLiteral("7-Zip stopped responding and was stopped after %1 seconds").arg(silenceSeconds);
        return verdict;
    }
    if (!run.crashed && run.exitCode == 0 && lines.contains(QStringLiteral("Everything is Ok"))) {
        verdict.outcome = Outcome::Succeeded;
        return verdict;
    }

    const QString archiveName = QDir::toNativeSeparators(archive);
    if (mentionsFullDisk(run.output)) {
        verdict.cause = QStringLiteral("There is not enough free space in %1").arg(QDir::toNativeSeparators(folder));
        return verdict;
    }
    // 7-Zip names a refused archive on a line of its own, next to the system's reason.
    if ((lines.contains(archive) || lines.contains(archiveName)) && refusesAccess(run.output))
        verdict.outcome = Outcome::AccessDenied;
    QStringList unread;
    for (const QString &line : lines) {
        const QRegularExpressionMatch match = fileProblem.match(line);
        if (!match.hasMatch())
            continue;
        const bool posix = !match.captured(1).isEmpty();
        const QString path = match.captured(posix ? 1 : 3);
        if (path == archive || path == archiveName) {
            if (refusesAccess(match.captured(posix ? 2 : 4)))
                verdict.outcome = Outcome::AccessDenied;
            continue;
        }
        const QString name = QFileInfo(path).fileName();
        if (!unread.contains(name))
            unread << name;
    }
    if (verdict.outcome == Outcome::AccessDenied) {
        verdict.cause = QStringLiteral("Parcelo may not write in %1").arg(QDir::toNativeSeparators(folder));
        return verdict;
    }
    if (!unread.isEmpty()) {
        verdict.cause = QStringLiteral("These files could not be read: %1").arg(nameList(unread));
        return verdict;
    }
    if (run.crashed) {
        verdict.cause = QStringLiteral("7-Zip ended unexpectedly");
        return verdict;
    }
    for (const QString &line : lines) {
        if (line.startsWith(QLatin1String("ERROR:")) || line.startsWith(QLatin1String("WARNING:"))) {
            verdict.cause = QStringLiteral("7-Zip: %1").arg(line);
            return verdict;
        }
    }
    verdict.cause = QStringLiteral("7-Zip ended with exit code %1").arg(run.exitCode);
    return verdict;
}
