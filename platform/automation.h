// Late-bound automation: create an object from a class name, then read and write its properties
// and call its methods by name with variant arguments. A failure comes back as an automation error
// in the result, never as an exception. On Windows the transport is COM's IDispatch; on Linux an
// in-process registry of class names.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace automation {

class Dispatch;
using ObjectRef = std::shared_ptr<Dispatch>;

// An optional argument left out (VT_ERROR with DISP_E_PARAMNOTFOUND on COM).
struct Missing {
    bool operator==(const Missing&) const = default;
};

// The values that cross the boundary; the empty state is VT_EMPTY.
using Variant =
    std::variant<std::monostate, Missing, bool, int32_t, double, std::string, ObjectRef>;

// HRESULT values an automation call can fail with (DISP_E_UNKNOWNNAME, DISP_E_EXCEPTION,
// DISP_E_BADPARAMCOUNT, DISP_E_BADINDEX, DISP_E_TYPEMISMATCH, DISP_E_MEMBERNOTFOUND and
// REGDB_E_CLASSNOTREG), named apart from the system headers' macros.
inline constexpr int32_t kUnknownName = static_cast<int32_t>(0x80020006);
inline constexpr int32_t kException = static_cast<int32_t>(0x80020009);
inline constexpr int32_t kBadParamCount = static_cast<int32_t>(0x8002000E);
inline constexpr int32_t kBadIndex = static_cast<int32_t>(0x8002000B);
inline constexpr int32_t kTypeMismatch = static_cast<int32_t>(0x80020005);
inline constexpr int32_t kMemberNotFound = static_cast<int32_t>(0x80020003);
inline constexpr int32_t kClassNotRegistered = static_cast<int32_t>(0x80040154);

struct Error {
    int32_t code = kException;
    std::string description;
};

// The outcome of one call: a value, or the automation error the server raised.
struct Result {
    Variant value;
    std::optional<Error> error;

    bool ok() const { return !error.has_value(); }
    ObjectRef object() const;                // the value as an object, or null
    std::optional<int32_t> integer() const;  // an integer (or a whole double) value
    std::optional<std::string> text() const;

    static Result Fail(int32_t code, std::string description) {
        return Result{std::monostate{}, Error{code, std::move(description)}};
    }
};

// How a member is invoked: the DISPATCH_* flags, combinable.
enum InvokeKind : uint16_t {
    kMethod = 1,
    kPropertyGet = 2,
    kPropertyPut = 4,
};

// An automation object. Servers implement Invoke; it must not throw.
class Dispatch {
  public:
    virtual ~Dispatch() = default;
    virtual Result Invoke(const std::string& name, uint16_t kind,
                          const std::vector<Variant>& args) = 0;
};

// Creates a new object of the class, e.g. "Excel.Application"; kClassNotRegistered when no server
// is registered for it.
Result CreateObject(const std::string& className);

// Member access by name; a null object gives an error too.
Result Get(const ObjectRef& object, const std::string& name, const std::vector<Variant>& args = {});
Result Put(const ObjectRef& object, const std::string& name, const Variant& value);
Result Call(const ObjectRef& object, const std::string& name,
            const std::vector<Variant>& args = {});
// A method call that also accepts a property read (DISPATCH_METHOD | DISPATCH_PROPERTYGET).
Result CallOrGet(const ObjectRef& object, const std::string& name);

// The in-process registry that CreateObject consults where there is no COM: a server registers a
// factory under its class name. Registering again replaces the factory.
void RegisterServer(const std::string& className, std::function<ObjectRef()> factory);
void UnregisterServer(const std::string& className);

}  // namespace automation
