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

using Args = std::vector<std::string>;

// Runs one command line (without the program name); returns the exit status.
int Run(const Args& args, std::ostream& out, std::ostream& err);

// The verb families, each taking the whole command line.
int RunWorkbookVerb(const Args& args, std::ostream& out, std::ostream& err);
int RunPrinterVerb(const Args& args, std::ostream& out, std::ostream& err);
int RunQueueVerb(const Args& args, std::ostream& out, std::ostream& err);
int RunCatalogVerb(const Args& args, std::ostream& out, std::ostream& err);

// Reports wrong usage with the help text; returns kExitUsage.
int Usage(std::ostream& err, const std::string& message);
// Reports a failed operation; returns kExitFailed.
int Failed(std::ostream& err, const std::string& message);

extern const char* const kHelp;

}  // namespace cli
