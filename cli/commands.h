// The verbs of tallowind-cli, callable from tests with their own output streams.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitUsage = 1;
inline constexpr int kExitWorkbook = 2;
inline constexpr int kExitFailed = 3;

// Runs one command line (without the program name); returns the exit status.
int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace cli
