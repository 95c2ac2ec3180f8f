// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

// The temporary folder that holds the renamed copies of the user's files.
class WorkFolder
{
public:
    static QString path();
};
