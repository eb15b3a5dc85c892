// The places where the archive raises its own exceptions.
#pragma once

#include "support/raise.h"

namespace archive_site {

inline constexpr char kGameArchive[] = "archive/game_archive";

inline constexpr RaiseSite kBadGameName{kGameArchive, 112};
inline constexpr RaiseSite kCreateDirectory{kGameArchive, 131};
inline constexpr RaiseSite kWriteFile{kGameArchive, 157};
inline constexpr RaiseSite kReplaceFile{kGameArchive, 176};
inline constexpr RaiseSite kLockGame{kGameArchive, 194};

}  // namespace archive_site
