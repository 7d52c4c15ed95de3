// Which working copy a run reads, when several runs share a folder.
//
// A run claims its working copy (platform/file_claim.h) before it copies the
// source into it and holds the claim until its teardown has removed the
// copy, so no other run, in this process or another, writes, reads or
// removes it meanwhile. The first run in a folder gets the usual name
// "osrc_tmp.twx"; a run that finds it claimed by a live run takes the next
// free one of "osrc_tmp-1.twx" ... "osrc_tmp-63.twx", so runs work side by
// side instead of waiting for each other. A killed run leaves its copy
// behind unclaimed; the next run that comes to that name replaces it.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace tw {

// Names a folder offers working copies under, the usual one first.
inline constexpr int kWorkingCopySlots = 64;

// "osrc_tmp.twx" for slot 0, "osrc_tmp-<slot>.twx" for the others.
std::string workingCopyName(int slot);

// Claims a working copy in the current folder for the run in progress and
// copies `source` into it. Returns the copy's name with `copied` true; or,
// when no safe copy can be had (every name claimed, the copy failed, or the
// source is itself a working copy name), `source` with `copied` false: the
// run then reads the source in place and must never remove it.
std::string makeWorkingCopy(const std::string& source, bool& copied);

// Ends a run's use of `name`: removes the file when `remove`, then gives up
// the claim this process holds on it (the file is removed first, so that no
// other run can claim it in between).
void releaseWorkingCopy(const std::string& name, bool remove);

// Gives up the claims of runs at nesting `depth` and deeper, leaving their
// files: for runs that stopped before their teardown.
void releaseWorkingCopyClaims(std::size_t depth);

// The working copies in the current folder that another run, in this
// process or another, holds at this moment.
std::vector<std::string> workingCopiesOfOtherRuns();

}  // namespace tw
