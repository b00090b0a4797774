// CreateObject without COM: class names resolve in the in-process registry, where the servers of
// this platform (the spreadsheet stand-in's "Excel.Application") register on first use.
#include <mutex>

#include "platform/automation.h"

namespace automation {

Result CreateObjectFromRegistry(const std::string& className);

// Defined by the in-process servers linked into the program.
void RegisterInProcessServers();

Result CreateObject(const std::string& className) {
    static std::once_flag registered;
    std::call_once(registered, RegisterInProcessServers);
    return CreateObjectFromRegistry(className);
}

}  // namespace automation
