// SPDX-License-Identifier: MIT
#include "benchsupport.h"

#include <QApplication>
#include <QEvent>
#include <QFile>
#include <QTimer>
#include <QWidget>

#include <chrono>
#include <cstdio>

namespace Bench {

std::int64_t nowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

std::int64_t peakRssKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

void sample(const QString &figure, double value)
{
    std::printf("sample %s %.6f\n", qPrintable(figure), value);
    std::fflush(stdout);
}

namespace {

class EventCounter : public QObject
{
public:
    int count = 0;

protected:
    bool eventFilter(QObject *, QEvent *) override
    {
        ++count;
        return false;
    }
};

} // namespace

void settle()
{
    EventCounter counter;
    qApp->installEventFilter(&counter);
    for (int pass = 0; pass < 200; ++pass) {
        counter.count = 0;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        if (counter.count == 0)
            break;
    }
    qApp->removeEventFilter(&counter);
}

bool writeRandomFile(const QString &path, std::int64_t bytes)
{
    QFile random(QStringLiteral("/dev/urandom"));
    QFile out(path);
    if (!random.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly))
        return false;
    const std::int64_t chunk = 1 << 20;
    while (bytes > 0) {
        const QByteArray data = random.read(std::min(chunk, bytes));
        if (data.isEmpty() || out.write(data) != data.size())
            return false;
        bytes -= data.size();
    }
    return true;
}

FirstPaintProbe::FirstPaintProbe(QWidget *window)
{
    window->installEventFilter(this);
}

bool FirstPaintProbe::eventFilter(QObject *, QEvent *event)
{
    if (event->type() == QEvent::Paint && !painted) {
        painted = true;
        QTimer::singleShot(0, this, &FirstPaintProbe::report);
    }
    return false;
}

void FirstPaintProbe::report()
{
    std::printf("firstpaint %lld\npeakrss %lld\n", static_cast<long long>(nowNs()),
                static_cast<long long>(peakRssKb()));
    std::fflush(stdout);
    QCoreApplication::quit();
}

} // namespace Bench
