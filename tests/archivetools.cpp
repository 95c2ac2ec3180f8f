// SPDX-License-Identifier: MIT
#include "archivetools.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

namespace ArchiveTools {

namespace {

// Each entry's properties as the real archiver lists them ("Path", "Size", "Method", ...).
QList<QMap<QString, QString>> properties(const QString &archivePath)
{
    QProcess list;
    list.start(QStringLiteral("7zz"), {QStringLiteral("l"), QStringLiteral("-slt"), QStringLiteral("-ba"),
                                       QStringLiteral("-sccUTF-8"), QStringLiteral("--"), archivePath});
    list.waitForFinished(60000);
    QList<QMap<QString, QString>> found;
    for (const QString &line : QString::fromUtf8(list.readAllStandardOutput()).split(QLatin1Char('\n'))) {
        const qsizetype equals = line.indexOf(QLatin1String(" = "));
        if (line.startsWith(QLatin1String("Path = ")))
            found.append(QMap<QString, QString>());
        if (equals > 0 && !found.isEmpty())
            found.last().insert(line.left(equals), line.mid(equals + 3));
    }
    return found;
}

} // namespace

QStringList entries(const QString &archivePath)
{
    QStringList names;
    for (const auto &entry : properties(archivePath))
        names << entry.value(QStringLiteral("Path"));
    names.sort();
    return names;
}

ArchiveContents listed(const QString &archivePath)
{
    ArchiveContents contents;
    for (const auto &entry : properties(archivePath)) {
        const QString path = entry.value(QStringLiteral("Path"));
        if (entry.value(QStringLiteral("Folder")) == QLatin1String("+"))
            contents.addFolder(path);
        else if (entry.value(QStringLiteral("Attributes")).section(QLatin1Char(' '), -1).startsWith(QLatin1Char('l')))
            contents.addLink(path); // a stored link's Unix mode reads "lrwxrwxrwx"
        else
            contents.addFile(path, entry.value(QStringLiteral("Size")).toLongLong());
    }
    return contents;
}

QMap<QString, QString> methods(const QString &archivePath)
{
    QMap<QString, QString> found;
    for (const auto &entry : properties(archivePath))
        found.insert(entry.value(QStringLiteral("Path")), entry.value(QStringLiteral("Method")).section(':', 0, 0));
    return found;
}

bool extract(const QString &archivePath, const QString &folder)
{
    return QProcess::execute(QStringLiteral("7zz"),
                             {QStringLiteral("x"), QStringLiteral("-y"), QStringLiteral("-bso0"),
                              QStringLiteral("-o") + folder, QStringLiteral("--"), archivePath}) == 0;
}

bool writeFile(const QString &path, const QByteArray &content)
{
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

bool writeStandIn(const QString &folder, const QByteArray &body)
{
    const QString path = folder + QStringLiteral("/util/7z.exe");
    // $archive: the archive the job asked for, named after "--".
    const QByteArray preamble = "#!/bin/sh\narchive=; prev=\nfor a in \"$@\"; do\n"
                                "  [ \"$prev\" = -- ] && [ -z \"$archive\" ] && archive=$a; prev=$a\ndone\n";
    return writeFile(path, preamble + body + "\n") &&
           QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther |
                                           QFile::ExeOther);
}

bool processRunning(const QString &marker)
{
    QProcess pgrep;
    pgrep.start(QStringLiteral("pgrep"), {QStringLiteral("-f"), marker});
    pgrep.waitForFinished(10000);
    return pgrep.exitCode() == 0;
}

} // namespace ArchiveTools
