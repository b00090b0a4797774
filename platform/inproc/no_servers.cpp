// For a build without the spreadsheet stand-in: no in-process server registers itself, so
// CreateObject finds only the classes a test registered.
#include "platform/automation.h"

namespace automation {

void RegisterInProcessServers() {}

}  // namespace automation
