// SPDX-License-Identifier: MIT
#include "files/workfolder.h"

#include <QDir>

QString WorkFolder::path()
{
    return QDir::tempPath() + QStringLiteral("/parcelo");
}
