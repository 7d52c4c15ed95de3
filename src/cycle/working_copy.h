// The working copy of the geometry source that a run reads.
#pragma once

#include <string>

namespace tw {

// The usual name of the working copy, in the current directory; a run that
// finds it held by another run takes another (working_copy_claims.h).
inline constexpr const char* kWorkingCopyName = "osrc_tmp.twx";

// Copies `source` to `target` byte for byte (target created or emptied).
// False when either file cannot be opened, the source cannot be read to its
// end, or a block, the flush or the close fails; a copy begun is then removed.
bool copyFile(const std::string& source, const std::string& target);

}  // namespace tw
