// SPDX-License-Identifier: MIT
#include "archivetools.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

namespace ArchiveTools {

QStringList entries(const QString &archivePath)
{
    QProcess list;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    list.setProcessEnvironment(environment);
    list.start(QStringLiteral("7zz"),
               {QStringLiteral("l"), QStringLiteral("-ba"), QStringLiteral("-slt"), QStringLiteral("--"), archivePath});
    if (!list.waitForFinished(60000))
        return {QStringLiteral("<listing did not finish>")};
    QStringList names;
    for (const QString &line : QString::fromUtf8(list.readAllStandardOutput()).split(QLatin1Char('\n'))) {
        if (line.startsWith(QStringLiteral("Path = ")))
            names << line.mid(7).trimmed();
    }
    names.sort();
    return names;
}

ArchiveContents listed(const QString &archivePath)
{
    QProcess list;
    list.start(QStringLiteral("7zz"), {QStringLiteral("l"), QStringLiteral("-slt"), QStringLiteral("-ba"),
                                       QStringLiteral("-sccUTF-8"), QStringLiteral("--"), archivePath});
    list.waitForFinished(60000);
    ArchiveContents contents;
    QString path;
    bool folder = false;
    bool link = false;
    qint64 size = 0;
    const auto finish = [&] {
        if (path.isEmpty())
            return;
        if (folder)
            contents.addFolder(path);
        else if (link)
            contents.addLink(path);
        else
            contents.addFile(path, size);
        path.clear();
        folder = link = false;
        size = 0;
    };
    for (const QString &line : QString::fromUtf8(list.readAllStandardOutput()).split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1String("Path = "))) {
            finish();
            path = line.mid(7);
        } else if (line == QLatin1String("Folder = +")) {
            folder = true;
        } else if (line.startsWith(QLatin1String("Size = "))) {
            size = line.mid(7).toLongLong();
        } else if (line.startsWith(QLatin1String("Attributes = "))) {
            // A stored link's Unix mode reads "lrwxrwxrwx".
            link = line.split(QLatin1Char(' '), Qt::SkipEmptyParts).last().startsWith(QLatin1Char('l'));
        }
    }
    finish();
    return contents;
}

QMap<QString, QString> methods(const QString &archivePath)
{
    QProcess list;
    list.start(QStringLiteral("7zz"), {QStringLiteral("l"), QStringLiteral("-slt"), QStringLiteral("-ba"),
                                       QStringLiteral("-sccUTF-8"), QStringLiteral("--"), archivePath});
    list.waitForFinished(60000);
    QMap<QString, QString> found;
    QString path;
    for (const QString &line : QString::fromUtf8(list.readAllStandardOutput()).split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1String("Path = ")))
            path = line.mid(7);
        else if (line.startsWith(QLatin1String("Method = ")))
            found.insert(path, line.mid(9).section(QLatin1Char(':'), 0, 0));
    }
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
