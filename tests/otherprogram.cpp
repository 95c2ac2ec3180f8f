// SPDX-License-Identifier: MIT
// Another running copy of the program, for tests that need one beside their own, or one run by
// another user: it renames one entry with a real tile and prints "copied <path>" or
// "refused <message>", then waits for a line on its standard input. "remove" removes its copies as
// after a successful compression; anything else, or the end of the input, leaves them.
#include "files/singlefilewidget.h"
#include "files/workfolder.h"
#include "testsupport.h"

#include <QApplication>
#include <QFile>

#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: otherprogram PATH NEW-NAME\n");
        return 2;
    }
    SingleFileWidget tile(QFile::decodeName(argv[1]));
    QString copy;
    QObject::connect(&tile, &SingleFileWidget::filePathChanged, [&](const QString &, const QString &to) { copy = to; });
    TestSupport::ModalAnswer notice;
    tile.setName(QFile::decodeName(argv[2]));
    tile.makeFileCopy(QFile::decodeName(argv[2]));
    const QString result =
        copy.isEmpty() ? QStringLiteral("refused ") + notice.text() : QStringLiteral("copied ") + copy;
    std::printf("%s\n", qPrintable(result));
    std::fflush(stdout);

    char line[64] = {};
    if (std::fgets(line, sizeof line, stdin) && QByteArray(line).trimmed() == "remove")
        return WorkFolder::remove() ? 0 : 1;
    return 0;
}
