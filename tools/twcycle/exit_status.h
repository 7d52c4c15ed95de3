// The host program's exit statuses.
#pragma once

namespace twcycle {

inline constexpr int kExitOk = 0;
inline constexpr int kExitRefused = 1;        // the module refused the run
inline constexpr int kExitHostFailure = 2;    // command line, module loading
inline constexpr int kExitNoOutput = 3;       // output missing or not readable back
inline constexpr int kExitPictureFailed = 4;  // the --svg file could not be written
inline constexpr int kExitMissingInput = 5;   // job file or geometry source missing, unreadable, no exchange file
inline constexpr int kExitPointsLost = 6;     // points of the source not read, or not written as read
inline constexpr int kExitWarnings = 7;       // --strict, and the job drew warnings
inline constexpr int kExitDrillRefused = 8;   // twcycle drill: the drill file holds what it cannot read safely

}  // namespace twcycle
