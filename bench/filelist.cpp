// SPDX-License-Identifier: MIT
// Adding 500 files to the file list of the real, shown main window, and removing one of them
// (which lists the other 499 again), each until the window is idle again: layout, paint and the
// deletion of removed tiles included. The type icon lookup for the same 500 files is timed on its
// own, from the same cold start, to give its share of the adding.
#include "app/startup.h"
#include "benchsupport.h"
#include "files/filewidget.h"
#include "files/singlefilewidget.h"
#include "mainwindow/mainwidget.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QPixmapCache>
#include <QTemporaryDir>
#include <QToolButton>
#include <QWindow>

#include <cstdio>

namespace {

const int fileCount = 500;

QStringList makeFiles(const QString &folder)
{
    // Types with pictures of their own and types that take the system's icon, mixed.
    const QStringList suffixes{"txt", "pdf", "jpg", "docx", "csv", "png", "zip", "md", "xlsx", "bin"};
    QStringList paths;
    for (int i = 0; i < fileCount; ++i) {
        const QString path =
            QStringLiteral("%1/file-%2.%3").arg(folder).arg(i, 3, 10, QChar('0')).arg(suffixes.at(i % suffixes.size()));
        if (!Bench::writeRandomFile(path, 1024 + i))
            qFatal("cannot write %s", qPrintable(path));
        paths << path;
    }
    return paths;
}

double msSince(std::int64_t startNs)
{
    return double(Bench::nowNs() - startNs) / 1e6;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const int runs = argc > 1 ? QByteArray(argv[1]).toInt() : 5;
    QTemporaryDir folder;
    const QStringList paths = makeFiles(folder.path());

    Startup startup(app);
    MainWidget *window = startup.mainWindow();
    auto *panel = window->findChild<FileWidget *>();
    startup.show();
    while (!window->windowHandle() || !window->windowHandle()->isExposed())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    Bench::settle();

    // The first run warms the toolkit's one-time caches (MIME database, icon theme, fonts) and is
    // not counted: every later run starts from an empty pixmap cache.
    for (int run = 0; run <= runs; ++run) {
        panel->removeAllFiles();
        Bench::settle();
        QPixmapCache::clear();

        std::int64_t start = Bench::nowNs();
        emit window->addFiles(paths);
        Bench::settle();
        const double addMs = msSince(start);
        if (panel->getFiles().size() != fileCount)
            qFatal("only %lld files listed", static_cast<long long>(panel->getFiles().size()));

        SingleFileWidget *middle = nullptr;
        for (SingleFileWidget *tile : panel->findChildren<SingleFileWidget *>()) {
            if (tile->getName() == QFileInfo(paths.at(fileCount / 2)).fileName())
                middle = tile;
        }
        start = Bench::nowNs();
        middle->findChild<QToolButton *>()->click();
        Bench::settle();
        const double removeMs = msSince(start);
        if (panel->getFiles().size() != fileCount - 1)
            qFatal("the removal left %lld files", static_cast<long long>(panel->getFiles().size()));

        QPixmapCache::clear();
        start = Bench::nowNs();
        for (const QString &path : paths)
            SingleFileWidget::typeIcon(QFileInfo(path).fileName(), path);
        const double iconMs = msSince(start);

        if (run == 0)
            continue;
        Bench::sample(QStringLiteral("add500"), addMs);
        Bench::sample(QStringLiteral("remove1"), removeMs);
        Bench::sample(QStringLiteral("icons500"), iconMs);
    }
    panel->removeAllFiles();
    Bench::settle();
    return 0;
}
