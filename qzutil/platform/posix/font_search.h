// The TrueType file search of the POSIX system-services backend, reachable
// on its own so that it can be run over any folder.
#ifndef QZUTIL_PLATFORM_POSIX_FONT_SEARCH_H
#define QZUTIL_PLATFORM_POSIX_FONT_SEARCH_H

#include "qzutil/platform/system_services.h"

namespace qz::platform::posix {

// Visits every ".ttf" and ".ttc" file (either case) under `folder` and its
// subfolders (at most eight levels, symbolic links to folders not followed),
// in the order the directories list them. Returns false once the visitor
// has asked to stop. An unreadable folder is passed over.
bool CollectTrueTypeFiles(const char* folder, FontVisitor& visitor);

}  // namespace qz::platform::posix

#endif  // QZUTIL_PLATFORM_POSIX_FONT_SEARCH_H
