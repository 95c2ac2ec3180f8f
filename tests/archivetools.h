// SPDX-License-Identifier: MIT
#pragma once

#include "archiving/archivecontents.h"

#include <QMap>
#include <QString>
#include <QStringList>

// Helpers for tests that run the real archiver or stand-ins for it.
namespace ArchiveTools {

// The entry names of an archive, sorted, as the real archiver lists them.
QStringList entries(const QString &archivePath);

// An archive's entries as the real archiver lists them, with their kinds and sizes.
ArchiveContents listed(const QString &archivePath);

// Each entry's compression method ("Store", "Deflate") as the real archiver lists it.
QMap<QString, QString> methods(const QString &archivePath);

// Unpacks an archive into `folder` with the real archiver.
bool extract(const QString &archivePath, const QString &folder);

// Writes a file (and its folders) with the given content.
bool writeFile(const QString &path, const QByteArray &content = "data\n");

// Makes `folder`/util/7z.exe: an executable shell script with this body, standing in for the
// archiver where the real one cannot show a failure on demand. The body finds the archive it was
// asked to write in $archive.
bool writeStandIn(const QString &folder, const QByteArray &body);

// Whether a process whose command line contains `marker` is running.
bool processRunning(const QString &marker);

} // namespace ArchiveTools
