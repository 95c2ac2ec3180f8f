// SPDX-License-Identifier: MIT
// Starts every benchmark program, collects their samples and prints the table: each figure beside
// its floor from the same run, as median (lowest to highest) over the runs.
#include "benchsupport.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

using Samples = QMap<QString, QList<double>>;

QString program(const QString &name)
{
    return QCoreApplication::applicationDirPath() + QLatin1Char('/') + name;
}

QByteArray runToEnd(QProcess &process, int timeoutMs)
{
    if (!process.waitForFinished(timeoutMs) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        std::fprintf(stderr, "%s failed:\n%s\n", qPrintable(process.program()),
                     process.readAllStandardError().constData());
        std::exit(1);
    }
    return process.readAllStandardOutput();
}

void collect(const QByteArray &output, Samples &samples)
{
    for (const QByteArray &line : output.split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        if (fields.size() == 3 && fields.at(0) == "sample")
            samples[QString::fromLatin1(fields.at(1))] << fields.at(2).toDouble();
    }
}

// One start of a start-up program, from just before it is started to the end of its first frame.
void measureStartup(const QString &name, const QString &figure, Samples &samples)
{
    QProcess process;
    const std::int64_t start = Bench::nowNs();
    process.start(program(name), {});
    double firstPaintMs = -1, peakMb = -1;
    for (const QByteArray &line : runToEnd(process, 30000).split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        if (fields.size() == 2 && fields.at(0) == "firstpaint")
            firstPaintMs = double(fields.at(1).toLongLong() - start) / 1e6;
        else if (fields.size() == 2 && fields.at(0) == "peakrss")
            peakMb = fields.at(1).toDouble() / 1024.0;
    }
    samples[QStringLiteral("startup.") + figure] << firstPaintMs;
    samples[QStringLiteral("rss.") + figure] << peakMb;
}

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    const qsizetype n = values.size();
    if (n == 0)
        return 0;
    return n % 2 ? values.at(n / 2) : (values.at(n / 2 - 1) + values.at(n / 2)) / 2;
}

QString spread(const QList<double> &values, int decimals, const QString &unit = QString())
{
    if (values.isEmpty())
        return QStringLiteral("-");
    const auto [low, high] = std::minmax_element(values.begin(), values.end());
    return QStringLiteral("%1%4 (%2-%3)")
        .arg(median(values), 0, 'f', decimals)
        .arg(*low, 0, 'f', decimals)
        .arg(*high, 0, 'f', decimals)
        .arg(unit);
}

struct Row
{
    QString figure;
    QString floorKey;
    QString key;
    QString unit;
    enum Kind { Ratio, Difference, Absolute } kind;
    double target;
};

QList<double> pairwise(const QList<double> &a, const QList<double> &b, const std::function<double(double, double)> &op)
{
    QList<double> result;
    for (qsizetype i = 0; i < std::min(a.size(), b.size()); ++i)
        result << op(a.at(i), b.at(i));
    return result;
}

void printTable(const Samples &samples)
{
    const QList<Row> rows{
        {"Start-up to first painted frame (process start to end of first frame, Xvfb)", "startup.floor",
         "startup.parcelo", " ms", Row::Ratio, 1.5},
        {"Peak memory (VmHWM at first frame)", "rss.floor", "rss.parcelo", " MB", Row::Difference, 30},
        {"Add 500 files to the list, until idle (layout and paint)", "", "add500", " ms", Row::Absolute, 1000},
        {"Remove 1 of 500 (the rebuild), until idle", "", "remove1", " ms", Row::Absolute, 150},
        {"Compress 200 small text files (1-20 KB): job vs 7zz at its default level", "compress.small200.direct",
         "compress.small200.job", " ms", Row::Ratio, 1.05},
        {"Compress 5 x 100 MB incompressible: job vs 7zz at its default level", "compress.five100.direct",
         "compress.five100.job", " ms", Row::Ratio, 0.25},
        {"Compress 1 x 450 MB incompressible: job vs 7zz at its default level", "compress.one450.direct",
         "compress.one450.job", " ms", Row::Ratio, 0.25},
        {"Compress a mixed set (text, incompressible, a folder of both): job vs 7zz default", "compress.mixed.direct",
         "compress.mixed.job", " ms", Row::Ratio, 0.5},
        {"Archive size of the mixed set: job vs 7zz default (all deflated)", "size.mixed.direct", "size.mixed.job",
         " B", Row::Ratio, 1.01},
        {"Rename copy of 400 MB: makeFileCopy vs cp", "copy.cp", "copy.tile", " ms", Row::Ratio, 1.2},
        {"Refuse /usr (over 500 MB): adding it vs a full walk of it", "walk.usr", "refuse.usr", " ms", Row::Ratio, 0.1},
        {"Rename a folder of 100,000 small files: makeFileCopy vs cp -r", "copy100k.cp", "copy100k.tile", " ms",
         Row::Ratio, 1.5},
    };
    std::printf("\n| Figure (what is measured) | Floor | Parcelo | Ratio / difference | Target | Result |\n"
                "|---|---|---|---|---|---|\n");
    for (const Row &row : rows) {
        const QList<double> values = samples.value(row.key);
        // A figure of a group that did not run (--only).
        if (values.isEmpty() && samples.value(row.floorKey).isEmpty())
            continue;
        const QList<double> floor = samples.value(row.floorKey);
        QString compared, target;
        double measure = 0;
        switch (row.kind) {
        case Row::Ratio: {
            const QList<double> ratios = pairwise(values, floor, [](double a, double b) { return a / b; });
            compared = spread(ratios, 2, QStringLiteral("x"));
            measure = median(ratios);
            target = QStringLiteral("<= %1x").arg(row.target);
            break;
        }
        case Row::Difference: {
            const QList<double> differences = pairwise(values, floor, [](double a, double b) { return a - b; });
            compared = QStringLiteral("+") + spread(differences, 1, row.unit);
            measure = median(differences);
            target = QStringLiteral("<= floor + %1%2").arg(row.target).arg(row.unit);
            break;
        }
        case Row::Absolute:
            compared = QStringLiteral("-");
            measure = median(values);
            target = QStringLiteral("<= %1%2").arg(row.target).arg(row.unit);
            break;
        }
        const bool pass = !values.isEmpty() && measure <= row.target;
        std::printf("| %s | %s | %s | %s | %s | %s |\n", qPrintable(row.figure),
                    qPrintable(row.floorKey.isEmpty() ? QStringLiteral("-") : spread(floor, 1, row.unit)),
                    qPrintable(spread(values, 1, row.unit)), qPrintable(compared), qPrintable(target),
                    pass ? "pass" : "MISS");
    }
    const QList<double> icons = samples.value(QStringLiteral("icons500"));
    if (icons.isEmpty())
        return;
    const QList<double> shares =
        pairwise(icons, samples.value(QStringLiteral("add500")), [](double a, double b) { return 100 * a / b; });
    std::printf("\nType icon lookup for the 500 files, from an empty pixmap cache: %s, %s of the adding.\n",
                qPrintable(spread(icons, 1, QStringLiteral(" ms"))),
                qPrintable(spread(shares, 1, QStringLiteral(" %"))));
}

QString loadAverage()
{
    QFile file(QStringLiteral("/proc/loadavg"));
    return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll().split(' ').mid(0, 3).join(' '))
                                          : QStringLiteral("unknown");
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    // "--quick" for a first look: fewer runs of everything. "--only GROUP" runs one group of
    // figures: startup, filelist, archiving or folders.
    const bool quick = app.arguments().contains(QStringLiteral("--quick"));
    const qsizetype onlyAt = app.arguments().indexOf(QStringLiteral("--only"));
    const QString only = onlyAt >= 0 ? app.arguments().value(onlyAt + 1) : QString();
    const auto runs = [&only](const char *group) { return only.isEmpty() || only == QLatin1String(group); };
    const int startupRuns = quick ? 3 : 11;

    QTemporaryDir scratch;
    if (!scratch.isValid())
        qFatal("no temporary folder");
    // The rename copies and the test data go to a folder of the benchmark's own.
    qputenv("TMPDIR", scratch.path().toLocal8Bit());
    qputenv("XDG_CACHE_HOME", scratch.path().toLocal8Bit());
    const QString loadBefore = loadAverage();
    std::printf("Parcelo benchmark, %s, load average before: %s\n",
                qPrintable(QDateTime::currentDateTime().toString(Qt::ISODate)), qPrintable(loadBefore));

    Samples samples;
    std::fprintf(stderr, "start-up and memory...\n");
    for (int run = 0; runs("startup") && run < startupRuns; ++run) {
        if (run % 2) {
            measureStartup(QStringLiteral("bench_startup_parcelo"), QStringLiteral("parcelo"), samples);
            measureStartup(QStringLiteral("bench_startup_floor"), QStringLiteral("floor"), samples);
        } else {
            measureStartup(QStringLiteral("bench_startup_floor"), QStringLiteral("floor"), samples);
            measureStartup(QStringLiteral("bench_startup_parcelo"), QStringLiteral("parcelo"), samples);
        }
    }

    if (runs("filelist")) {
        std::fprintf(stderr, "file list...\n");
        QProcess fileList;
        fileList.start(program(QStringLiteral("bench_filelist")), {QString::number(quick ? 2 : 7)});
        collect(runToEnd(fileList, 600000), samples);
    }

    if (runs("archiving")) {
        std::fprintf(stderr, "compression and copies...\n");
        QProcess archiving;
        archiving.start(program(QStringLiteral("bench_archiving")),
                        {QStringLiteral(PARCELO_BUILD_DIR "/util/7z.exe"), QString::number(quick ? 1 : 5),
                         QString::number(quick ? 1 : 3)});
        collect(runToEnd(archiving, 1800000), samples);
    }

    if (runs("folders")) {
        std::fprintf(stderr, "big folders...\n");
        QProcess folders;
        folders.start(program(QStringLiteral("bench_folders")), {QString::number(quick ? 2 : 3)});
        collect(runToEnd(folders, 1800000), samples);
    }

    printTable(samples);
    std::printf("\nLoad average before: %s, after: %s.\n", qPrintable(loadBefore), qPrintable(loadAverage()));
    return 0;
}
