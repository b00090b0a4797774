// Member access by name and the in-process class registry, shared by every transport.
#include "platform/automation.h"

#include <cmath>
#include <map>

namespace automation {

namespace {

std::map<std::string, std::function<ObjectRef()>>& Registry() {
    static std::map<std::string, std::function<ObjectRef()>> registry;
    return registry;
}

Result InvokeOn(const ObjectRef& object, const std::string& name, uint16_t kind,
                const std::vector<Variant>& args) {
    if (object == nullptr) {
        return Result::Fail(kException, "no object");
    }
    return object->Invoke(name, kind, args);
}

}  // namespace

ObjectRef Result::object() const {
    const auto* object = std::get_if<ObjectRef>(&value);
    return object != nullptr ? *object : nullptr;
}

std::optional<int32_t> Result::integer() const {
    if (const auto* number = std::get_if<int32_t>(&value)) {
        return *number;
    }
    if (const auto* number = std::get_if<double>(&value)) {
        if (std::trunc(*number) == *number && std::fabs(*number) <= 2147483647.0) {
            return static_cast<int32_t>(*number);
        }
    }
    return std::nullopt;
}

std::optional<std::string> Result::text() const {
    if (const auto* text = std::get_if<std::string>(&value)) {
        return *text;
    }
    return std::nullopt;
}

Result Get(const ObjectRef& object, const std::string& name, const std::vector<Variant>& args) {
    return InvokeOn(object, name, kPropertyGet, args);
}

Result Put(const ObjectRef& object, const std::string& name, const Variant& value) {
    return InvokeOn(object, name, kPropertyPut, {value});
}

Result Call(const ObjectRef& object, const std::string& name, const std::vector<Variant>& args) {
    return InvokeOn(object, name, kMethod, args);
}

Result CallOrGet(const ObjectRef& object, const std::string& name) {
    return InvokeOn(object, name, kMethod | kPropertyGet, {});
}

void RegisterServer(const std::string& className, std::function<ObjectRef()> factory) {
    Registry()[className] = std::move(factory);
}

void UnregisterServer(const std::string& className) {
    Registry().erase(className);
}

// Where there is no COM, class names resolve in the registry only.
Result CreateObjectFromRegistry(const std::string& className) {
    const auto found = Registry().find(className);
    if (found == Registry().end()) {
        return Result::Fail(kClassNotRegistered, "class not registered: " + className);
    }
    ObjectRef object = found->second();
    if (object == nullptr) {
        return Result::Fail(kException, "server failed to start: " + className);
    }
    return Result{object, std::nullopt};
}

}  // namespace automation
