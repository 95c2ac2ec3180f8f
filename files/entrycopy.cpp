// SPDX-License-Identifier: MIT
#include "files/entrycopy.h"

#include "common/entryscan.h"
#include "files/workfolder.h"

#include <QDir>
#include <QFileInfo>

namespace EntryCopy {

namespace {

// Everything below the folder is listed first, so a folder that cannot be read whole fails the
// copy before anything is made, instead of turning up empty in the copy. A chosen link to a folder
// is packed without the links below it, so its copy is made without them too.
Result copyFolder(const QString &from, const QString &to, const std::function<bool()> &keepGoing)
{
    const EntryScan scan = EntryScan::read(from, -1, keepGoing);
    if (scan.kind != EntryScan::Kind::Folder || !scan.unreadable.isEmpty() || !scan.undecodable.isEmpty())
        return Result::Failed;
    if (!scan.complete)
        return Result::Cancelled;
    if (!QDir().mkdir(to))
        return Result::Failed;
    const QString source = from + QLatin1Char('/');
    const QString target = to + QLatin1Char('/');
    Result result = Result::Copied;
    int sinceAsked = 0;
    const auto goOn = [&] {
        if (keepGoing && ++sinceAsked % 64 == 0 && !keepGoing())
            result = Result::Cancelled;
        return result == Result::Copied;
    };
    // The scan lists each folder after the one that holds it.
    for (const QString &folder : scan.folders) {
        if (!QDir().mkdir(target + folder))
            result = Result::Failed;
        if (!goOn())
            break;
    }
    for (qsizetype i = 0; result == Result::Copied && i < scan.files.size(); ++i) {
        const QString &file = scan.files.at(i).first;
        if (!WorkFolder::copyFile(source + file, target + file))
            result = Result::Failed;
        goOn();
    }
    for (qsizetype i = 0; result == Result::Copied && !scan.isLink && i < scan.links.size(); ++i) {
        if (!WorkFolder::copyLink(source + scan.links.at(i), target + scan.links.at(i)))
            result = Result::Failed;
    }
    // Folders take their dates last, deepest first: making what is in a folder changes its date.
    for (qsizetype i = scan.folders.size() - 1; result == Result::Copied && i >= 0; --i) {
        if (!WorkFolder::copyFolderTime(source + scan.folders.at(i), target + scan.folders.at(i)))
            result = Result::Failed;
    }
    if (result == Result::Copied && !WorkFolder::copyFolderTime(from, to))
        result = Result::Failed;
    if (result != Result::Copied)
        remove(to);
    return result;
}

} // namespace

Result copy(const QString &from, const QString &to, const std::function<bool()> &keepGoing)
{
    const QFileInfo source(from);
    if (source.isDir())
        return copyFolder(from, to, keepGoing);
    return WorkFolder::copyFile(from, to) ? Result::Copied : Result::Failed;
}

bool remove(const QString &path, const WorkFolder::Runner &runner)
{
    const QFileInfo info(path);
    if (info.isDir() && !info.isSymLink())
        return runner ? runner([path] { return QDir(path).removeRecursively(); }) : QDir(path).removeRecursively();
    if (!info.exists() && !info.isSymLink())
        return true;
    return WorkFolder::removeFile(path);
}

} // namespace EntryCopy
