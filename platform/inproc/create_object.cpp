// CreateObject without COM: class names resolve in the in-process registry, where the spreadsheet
// stand-in registers "Excel.Application".
#include "platform/automation.h"

namespace automation {

Result CreateObjectFromRegistry(const std::string& className);

Result CreateObject(const std::string& className) {
    return CreateObjectFromRegistry(className);
}

}  // namespace automation
