// SPDX-License-Identifier: MIT
#include "archiving/zipdirectory.h"

#include "common/filesystemnames.h"

#include <QByteArray>
#include <QFile>

namespace {

const quint32 endSignature = 0x06054b50;
const quint32 end64Signature = 0x06064b50;
const quint32 locator64Signature = 0x07064b50;
const quint32 entrySignature = 0x02014b50;
const int endSize = 22;
const int locator64Size = 20;
const int entrySize = 46;
const int unixHost = 3;
const quint32 unixTypeMask = 0170000;
const quint32 unixLink = 0120000;
const quint32 unixFolder = 0040000;
const quint32 dosFolder = 0x10;

quint64 little(const QByteArray &data, qsizetype at, int bytes)
{
    quint64 value = 0;
    for (int i = bytes - 1; i >= 0; --i)
        value = (value << 8) | quint8(data.at(at + i));
    return value;
}

bool readAt(QFile &file, quint64 offset, qint64 length, QByteArray *data)
{
    if (!file.seek(qint64(offset)))
        return false;
    *data = file.read(length);
    return data->size() == length;
}

} // namespace

bool ZipDirectory::read(const QString &archive, ArchiveContents *contents, QString *error)
{
    QFile file(archive);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.errorString();
        return false;
    }
    // The end record sits at the end, after a comment of at most 65535 bytes.
    const qint64 tailLength = qMin<qint64>(file.size(), endSize + 0xFFFF);
    QByteArray tail;
    if (!readAt(file, quint64(file.size() - tailLength), tailLength, &tail)) {
        *error = QStringLiteral("too short");
        return false;
    }
    qsizetype end = tail.size() - endSize;
    while (end >= 0 && little(tail, end, 4) != endSignature)
        --end;
    if (end < 0) {
        *error = QStringLiteral("no end record");
        return false;
    }
    quint64 count = little(tail, end + 10, 2);
    quint64 directorySize = little(tail, end + 12, 4);
    quint64 directoryOffset = little(tail, end + 16, 4);
    if (count == 0xFFFF || directorySize == 0xFFFFFFFF || directoryOffset == 0xFFFFFFFF) {
        const quint64 endOffset = quint64(file.size() - tailLength + end);
        QByteArray locator;
        QByteArray end64;
        if (endOffset < locator64Size || !readAt(file, endOffset - locator64Size, locator64Size, &locator) ||
            little(locator, 0, 4) != locator64Signature || !readAt(file, little(locator, 8, 8), 56, &end64) ||
            little(end64, 0, 4) != end64Signature) {
            *error = QStringLiteral("no ZIP64 end record");
            return false;
        }
        count = little(end64, 32, 8);
        directorySize = little(end64, 40, 8);
        directoryOffset = little(end64, 48, 8);
    }
    QByteArray directory;
    if (directorySize > quint64(file.size()) || !readAt(file, directoryOffset, qint64(directorySize), &directory)) {
        *error = QStringLiteral("no central directory");
        return false;
    }

    qsizetype at = 0;
    for (quint64 i = 0; i < count; ++i) {
        if (at + entrySize > directory.size() || little(directory, at, 4) != entrySignature) {
            *error = QStringLiteral("a damaged central directory");
            return false;
        }
        const int host = int(little(directory, at + 5, 1));
        quint64 size = little(directory, at + 24, 4);
        const qsizetype nameLength = qsizetype(little(directory, at + 28, 2));
        const qsizetype extraLength = qsizetype(little(directory, at + 30, 2));
        const qsizetype commentLength = qsizetype(little(directory, at + 32, 2));
        const quint32 attributes = quint32(little(directory, at + 38, 4));
        const qsizetype next = at + entrySize + nameLength + extraLength + commentLength;
        if (next > directory.size()) {
            *error = QStringLiteral("a damaged central directory");
            return false;
        }
        const QByteArray rawName = directory.mid(at + entrySize, nameLength);
        if (size == 0xFFFFFFFF) {
            // The ZIP64 field holds the real size first.
            for (qsizetype x = at + entrySize + nameLength; x + 4 <= at + entrySize + nameLength + extraLength;) {
                const quint64 id = little(directory, x, 2);
                const qsizetype length = qsizetype(little(directory, x + 2, 2));
                if (id == 0x0001 && length >= 8)
                    size = little(directory, x + 4, 8);
                x += 4 + length;
            }
        }
        // Every name we pack is UTF-8 (the archiver flags it so); one that is not was never chosen.
        QString name;
        if (!FileSystemNames::decode(rawName, &name)) {
            contents->addUnnamed(name);
            at = next;
            continue;
        }
        const quint32 unixType = (attributes >> 16) & unixTypeMask;
        const bool folder =
            name.endsWith(QLatin1Char('/')) || (host == unixHost && unixType == unixFolder) || (attributes & dosFolder);
        if (name.endsWith(QLatin1Char('/')))
            name.chop(1);
        if (folder)
            contents->addFolder(name);
        else if (host == unixHost && unixType == unixLink)
            contents->addLink(name);
        else
            contents->addFile(name, qint64(size));
        at = next;
    }
    return true;
}
