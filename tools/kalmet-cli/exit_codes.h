// Exit codes of kalmet-cli.
#pragma once

namespace kalmet::cli {

inline constexpr int kExitOk = 0;
// The session file could not be read (the cause is printed to standard error).
inline constexpr int kExitReadFailed = 1;
// Wrong arguments.
inline constexpr int kExitUsage = 2;

}  // namespace kalmet::cli
