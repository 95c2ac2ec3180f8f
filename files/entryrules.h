// SPDX-License-Identifier: MIT
#pragma once

#include "common/entryscan.h"

#include <QString>

// What may be listed and what may be packed, judged from scans of the file system. Each answer is
// the message for the user, or an empty string when all is well.
namespace EntryRules {

// No pipe, socket or device can be listed, nor a folder that cannot be read whole. `shown`
// names the entry.
QString refusalToList(const EntryScan &scan, const QString &shown);

// A listed entry is packed only while it is still what was listed: the same kind, a link or not
// as it was, readable. Its size is the caller's to add up.
QString refusalToPack(EntryScan::Kind listedKind, bool listedAsLink, const EntryScan &now, const QString &shown);

} // namespace EntryRules
