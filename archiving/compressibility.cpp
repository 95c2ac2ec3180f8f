// SPDX-License-Identifier: MIT
#include "archiving/compressibility.h"

#include "common/regularfile.h"

#include <QFile>

bool Compressibility::savesEnough(const QByteArray &sample)
{
    if (sample.isEmpty())
        return true;
    // The fastest level: the trial only has to tell text from noise.
    const qsizetype packed = qCompress(sample, 1).size();
    return packed * 100 <= sample.size() * 97;
}

bool Compressibility::worthDeflating(const QString &path, qint64 size)
{
    if (size < sampledFrom)
        return true;
    QFile file;
    if (!RegularFile::open(file, path))
        return true;
    QByteArray sample = file.read(sampleBytes);
    if (size >= 4 * sampleBytes && file.seek(size / 2))
        sample += file.read(sampleBytes);
    return savesEnough(sample);
}
