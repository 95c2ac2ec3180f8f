// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QString>

#include <cstdint>

class QWidget;

namespace Bench {

// Nanoseconds on the steady clock, which all processes of the machine share.
std::int64_t nowNs();

// The process's peak resident set so far (VmHWM), in kibibytes; -1 where it cannot be read.
std::int64_t peakRssKb();

// One measurement for the runner: "sample <figure> <value>" on standard output.
void sample(const QString &figure, double value);

// Delivers events until a whole pass delivers none: layouts, deferred deletions, paints and the
// flush to the screen are then done.
void settle();

// Writes `bytes` of incompressible data from /dev/urandom to `path`.
bool writeRandomFile(const QString &path, std::int64_t bytes);

// Watches a window until its first paint is done, then reports the time and the peak memory and
// ends the event loop. The report waits for a zero timer, so it comes after the whole frame has
// been painted and flushed, not at its first paint event.
class FirstPaintProbe : public QObject
{
public:
    explicit FirstPaintProbe(QWidget *window);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void report();
    bool painted = false;
};

} // namespace Bench
