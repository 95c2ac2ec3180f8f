// SPDX-License-Identifier: MIT
// Big folders. Refusing /usr (far over 500 MB) on the file list against a full walk of it with the
// same scan; renaming a folder of 100,000 small files (copied into the program's own temporary
// folder) against "cp -r" of the same folder. Each pair takes turns, after one warm-up of each.
#include "benchsupport.h"
#include "common/entryscan.h"
#include "files/filewidget.h"
#include "files/singlefilewidget.h"
#include "files/workfolder.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>

namespace {

const int smallFiles = 100000;

double msSince(std::int64_t startNs)
{
    return double(Bench::nowNs() - startNs) / 1e6;
}

// A thousand folders of a hundred files of 100 to 2,000 bytes.
void makeSmallFiles(const QString &root)
{
    const QByteArray content(2000, 'x');
    for (int i = 0; i < smallFiles; ++i) {
        const QString folder = QStringLiteral("%1/d%2").arg(root).arg(i / 100);
        if (i % 100 == 0 && !QDir().mkpath(folder))
            qFatal("cannot make %s", qPrintable(folder));
        QFile file(QStringLiteral("%1/f%2.txt").arg(folder).arg(i));
        if (!file.open(QIODevice::WriteOnly) || file.write(content.left(100 + i % 1900)) < 0)
            qFatal("cannot write %s", qPrintable(file.fileName()));
    }
}

double refuseUsr()
{
    FileWidget panel;
    QSignalSpy refused(&panel, &FileWidget::sizeExceeded);
    const std::int64_t start = Bench::nowNs();
    panel.addFile(QStringLiteral("/usr"));
    const double ms = msSince(start);
    if (refused.count() != 1)
        qFatal("/usr was not refused");
    return ms;
}

double walkUsr()
{
    const std::int64_t start = Bench::nowNs();
    const EntryScan scan = EntryScan::read(QStringLiteral("/usr"));
    const double ms = msSince(start);
    if (scan.files.size() < 10000)
        qFatal("/usr holds too little to measure");
    return ms;
}

double copyWithCp(const QString &source, const QString &target)
{
    QProcess cp;
    const std::int64_t start = Bench::nowNs();
    cp.start(QStringLiteral("cp"), {QStringLiteral("-r"), source, target});
    if (!cp.waitForFinished(600000) || cp.exitCode() != 0)
        qFatal("cp failed");
    const double ms = msSince(start);
    QDir(target).removeRecursively();
    return ms;
}

double copyWithTile(const QString &source)
{
    SingleFileWidget tile(source);
    const std::int64_t start = Bench::nowNs();
    tile.setName(QStringLiteral("renamed"));
    tile.makeFileCopy(QStringLiteral("renamed"));
    const double ms = msSince(start);
    if (tile.getName() != QLatin1String("renamed"))
        qFatal("the rename failed");
    WorkFolder::remove();
    return ms;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const int runs = argc > 1 ? QByteArray(argv[1]).toInt() : 3;
    QTemporaryDir scratch;
    const QString source = scratch.path() + QStringLiteral("/small");
    makeSmallFiles(source);

    for (int run = 0; run <= runs; ++run) {
        const double walk = walkUsr();
        const double refuse = refuseUsr();
        const bool cpFirst = run % 2 == 0;
        const double cp = cpFirst ? copyWithCp(source, scratch.path() + QStringLiteral("/cp")) : 0;
        const double tile = copyWithTile(source);
        const double cpAfter = cpFirst ? cp : copyWithCp(source, scratch.path() + QStringLiteral("/cp"));
        if (run == 0)
            continue;
        Bench::sample(QStringLiteral("walk.usr"), walk);
        Bench::sample(QStringLiteral("refuse.usr"), refuse);
        Bench::sample(QStringLiteral("copy100k.cp"), cpAfter);
        Bench::sample(QStringLiteral("copy100k.tile"), tile);
    }
    return 0;
}
