// SPDX-License-Identifier: MIT
#pragma once

#include <QStringList>

// Names listed in a message: the first three, then how many more ("a.txt, b.txt, c.txt and 2
// more"), so a long list keeps the box readable.
QString nameList(const QStringList &names);
