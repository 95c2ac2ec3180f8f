// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>

// Whether deflating a file is worth its time. Photos, videos, music and other archives are
// compressed already: deflate spends its full time on them and saves nothing, so they are stored.
// The content decides, not the name: a ".txt" may hold random bytes and a ".bmp" shrinks well.
class Compressibility
{
public:
    // Files below this are always deflated: trying costs about as much as deflating them.
    static constexpr qint64 sampledFrom = 128 * 1024;
    static constexpr qint64 sampleBytes = 64 * 1024;

    // Trial-compresses up to two samples (the start and the middle) of the file.
    static bool worthDeflating(const QString &path, qint64 size);

    // Deflate must save at least 3 % of a sample to be worth it.
    static bool savesEnough(const QByteArray &sample);
};
