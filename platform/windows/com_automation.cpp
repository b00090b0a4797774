// The automation layer's COM transport on Windows: CreateObject finds the class through its
// ProgID and CoCreateInstance, and each object is an IDispatch whose members are looked up by name
// (GetIDsOfNames) and invoked with VARIANT arguments. Texts cross as BSTRs, converted from and to
// the active code page. COM is initialised by the GUI runtime at start-up.
#include <windows.h>
// windows.h first: oleauto.h relies on its types.
#include <oleauto.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/automation.h"

namespace automation {

namespace {

std::wstring Wide(const std::string& text) {
    if (text.empty()) {
        return std::wstring();
    }
    const int size =
        ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(size), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), size);
    return wide;
}

std::string Narrow(const wchar_t* text, UINT length) {
    if (text == nullptr || length == 0) {
        return std::string();
    }
    const int size = ::WideCharToMultiByte(CP_ACP, 0, text, static_cast<int>(length), nullptr, 0,
                                           nullptr, nullptr);
    std::string narrow(static_cast<size_t>(size), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, text, static_cast<int>(length), narrow.data(), size, nullptr,
                          nullptr);
    return narrow;
}

// A VARIANT cleared when it goes out of scope.
class ScopedVariant {
  public:
    ScopedVariant() { ::VariantInit(&value_); }
    ~ScopedVariant() { ::VariantClear(&value_); }
    ScopedVariant(const ScopedVariant&) = delete;
    ScopedVariant& operator=(const ScopedVariant&) = delete;
    VARIANT* get() { return &value_; }
    const VARIANT& operator*() const { return value_; }

  private:
    VARIANT value_;
};

// The exception record's strings, freed on every path.
class ScopedExcepInfo {
  public:
    ScopedExcepInfo() : info_() {}
    ~ScopedExcepInfo() {
        ::SysFreeString(info_.bstrSource);
        ::SysFreeString(info_.bstrDescription);
        ::SysFreeString(info_.bstrHelpFile);
    }
    ScopedExcepInfo(const ScopedExcepInfo&) = delete;
    ScopedExcepInfo& operator=(const ScopedExcepInfo&) = delete;
    EXCEPINFO* get() { return &info_; }
    std::string Description() const {
        return Narrow(info_.bstrDescription, ::SysStringLen(info_.bstrDescription));
    }

  private:
    EXCEPINFO info_;
};

class ComObject : public Dispatch {
  public:
    // Takes over one reference to `dispatch`.
    explicit ComObject(IDispatch* dispatch) : dispatch_(dispatch) {}
    ~ComObject() override { dispatch_->Release(); }
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;

    IDispatch* get() const { return dispatch_; }

    Result Invoke(const std::string& name, uint16_t kind,
                  const std::vector<Variant>& args) override {
        std::wstring wideName = Wide(name);
        LPOLESTR names[] = {wideName.data()};
        DISPID member = 0;
        HRESULT hr = dispatch_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &member);
        if (FAILED(hr)) {
            return Result::Fail(static_cast<int32_t>(hr), "unknown member " + name);
        }
        // DISPPARAMS lists the arguments last first.
        std::vector<ScopedVariant> values(args.size());
        std::vector<VARIANT> arguments(args.size());
        for (size_t i = 0; i < args.size(); ++i) {
            ToVariant(args[i], values[args.size() - 1 - i].get());
            arguments[args.size() - 1 - i] = *values[args.size() - 1 - i];
        }
        DISPPARAMS parameters{arguments.data(), nullptr, static_cast<UINT>(arguments.size()), 0};
        DISPID namedPut = DISPID_PROPERTYPUT;
        if ((kind & kPropertyPut) != 0) {
            parameters.rgdispidNamedArgs = &namedPut;
            parameters.cNamedArgs = 1;
        }
        ScopedVariant result;
        ScopedExcepInfo exception;
        UINT argumentError = 0;
        hr = dispatch_->Invoke(member, IID_NULL, LOCALE_USER_DEFAULT, static_cast<WORD>(kind),
                               &parameters, (kind & kPropertyPut) != 0 ? nullptr : result.get(),
                               exception.get(), &argumentError);
        if (FAILED(hr)) {
            const int32_t code =
                hr == DISP_E_EXCEPTION && exception.get()->scode != 0 ? exception.get()->scode : hr;
            return Result::Fail(code, exception.Description());
        }
        return Result{FromVariant(*result), std::nullopt};
    }

  private:
    static void ToVariant(const Variant& value, VARIANT* variant) {
        if (std::holds_alternative<Missing>(value)) {
            variant->vt = VT_ERROR;
            variant->scode = DISP_E_PARAMNOTFOUND;
        } else if (const auto* flag = std::get_if<bool>(&value)) {
            variant->vt = VT_BOOL;
            variant->boolVal = *flag ? VARIANT_TRUE : VARIANT_FALSE;
        } else if (const auto* number = std::get_if<int32_t>(&value)) {
            variant->vt = VT_I4;
            variant->lVal = *number;
        } else if (const auto* real = std::get_if<double>(&value)) {
            variant->vt = VT_R8;
            variant->dblVal = *real;
        } else if (const auto* text = std::get_if<std::string>(&value)) {
            const std::wstring wide = Wide(*text);
            variant->vt = VT_BSTR;
            variant->bstrVal = ::SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
        } else if (const auto* object = std::get_if<ObjectRef>(&value)) {
            const auto* com = dynamic_cast<const ComObject*>(object->get());
            if (com != nullptr) {
                com->get()->AddRef();
                variant->vt = VT_DISPATCH;
                variant->pdispVal = com->get();
            }
        }
    }

    static Variant FromVariant(const VARIANT& variant) {
        switch (variant.vt) {
            case VT_BOOL:
                return variant.boolVal != VARIANT_FALSE;
            case VT_I2:
                return static_cast<int32_t>(variant.iVal);
            case VT_I4:
                return static_cast<int32_t>(variant.lVal);
            case VT_R4:
                return static_cast<double>(variant.fltVal);
            case VT_R8:
                return variant.dblVal;
            case VT_BSTR:
                return Narrow(variant.bstrVal, ::SysStringLen(variant.bstrVal));
            case VT_DISPATCH:
                if (variant.pdispVal == nullptr) {
                    return std::monostate{};
                }
                variant.pdispVal->AddRef();
                return ObjectRef(std::make_shared<ComObject>(variant.pdispVal));
            default:
                return std::monostate{};
        }
    }

    IDispatch* dispatch_;
};

}  // namespace

Result CreateObject(const std::string& className) {
    const std::wstring progId = Wide(className);
    CLSID classId{};
    HRESULT hr = ::CLSIDFromProgID(progId.c_str(), &classId);
    if (FAILED(hr)) {
        return Result::Fail(static_cast<int32_t>(hr), "class not registered: " + className);
    }
    IDispatch* dispatch = nullptr;
    hr = ::CoCreateInstance(classId, nullptr, CLSCTX_LOCAL_SERVER | CLSCTX_INPROC_SERVER,
                            IID_IDispatch, reinterpret_cast<void**>(&dispatch));
    if (FAILED(hr) || dispatch == nullptr) {
        return Result::Fail(static_cast<int32_t>(hr), "cannot start " + className);
    }
    return Result{ObjectRef(std::make_shared<ComObject>(dispatch)), std::nullopt};
}

}  // namespace automation
