// SPDX-License-Identifier: MIT
#include "common/namelist.h"

QString nameList(const QStringList &names)
{
    const qsizetype shown = qMin<qsizetype>(names.size(), 3);
    QString text = QStringList(names.mid(0, shown)).join(QStringLiteral(", "));
    if (names.size() > shown)
        text += QStringLiteral(" and %1 more").arg(names.size() - shown);
    return text;
}
