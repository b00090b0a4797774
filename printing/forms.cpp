// PrinterManager's paper forms: FormDetails with its kind texts and its sizes in the unit of
// each operation (tenths of a millimetre for listing and changing, whole centimetres for reading
// and adding), always truncated toward zero.
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>
#include <span>

#include "printing/printer_manager.h"
#include "printing/spooler_support.h"

using printing::ChoosePrinter;
using printing::CopyText;
using printing::GlobalBlock;
using printing::PrinterHandle;
using printing::TextArg;

namespace {

// Thousandths of a millimetre per unit of the record.
constexpr LONG kPerTenthMillimetre = 100;
constexpr LONG kPerCentimetre = 10000;

struct Kind {
    DWORD flags;
    const char* text;
};
constexpr Kind kKinds[] = {
    {FORM_USER, "用户定义"},
    {FORM_BUILTIN, "内置"},
    {FORM_PRINTER, "打印机"},
};
constexpr const char* kUnknownKind = "未知";

std::string KindText(DWORD flags) {
    for (const Kind& kind : kKinds) {
        if (kind.flags == flags) {
            return kind.text;
        }
    }
    return kUnknownKind;
}

DWORD KindFlags(const std::string& text) {
    for (const Kind& kind : kKinds) {
        if (text == kind.text) {
            return kind.flags;
        }
    }
    return FORM_USER;
}

// The record of a spooler form, its sizes divided by `unit` with the fraction dropped.
FormDetails DetailsOf(const FORM_INFO_1A& form, LONG unit) {
    FormDetails details;
    details.name = CopyText(form.pName);
    details.kind = KindText(form.Flags);
    details.width = static_cast<float>(form.Size.cx / unit);
    details.height = static_cast<float>(form.Size.cy / unit);
    details.imageableRight = static_cast<float>(form.ImageableArea.right / unit);
    details.imageableBottom = static_cast<float>(form.ImageableArea.bottom / unit);
    return details;
}

// value × factor truncated toward zero, or nothing when it is not finite or does not fit.
std::optional<LONG> Scaled(double value, double factor) {
    const double product = std::trunc(value * factor);
    if (!std::isfinite(product) || product < std::numeric_limits<LONG>::min() ||
        product > std::numeric_limits<LONG>::max()) {
        return std::nullopt;
    }
    return static_cast<LONG>(product);
}

}  // namespace

int PrinterManager::ListForms(const Name& printerName, std::vector<FormDetails>& forms) const {
    forms.clear();
    const PrinterHandle printer(ChoosePrinter(printerName), 0);
    if (!printer) {
        return -1;
    }
    // The list has its final length before the first record is read; the waiting window
    // messages are dispatched once per record.
    return printing::EnumerateTwoPassAll<FORM_INFO_1A>(
        [&](LPBYTE buffer, DWORD size, LPDWORD needed, LPDWORD returned) {
            return ::EnumFormsA(printer.get(), 1, buffer, size, needed, returned);
        },
        [&](std::span<const FORM_INFO_1A> records) {
            forms.resize(records.size());
            for (size_t i = 0; i < records.size(); ++i) {
                FORM_INFO_1A record;
                std::memcpy(&record, &records[i], sizeof(record));
                forms[i] = DetailsOf(record, kPerTenthMillimetre);
                printing::PumpWaitingMessages();
            }
        });
}

bool PrinterManager::DeleteForm(const Name& printerName, const std::string& formName) const {
    const PrinterHandle printer(ChoosePrinter(printerName), 0);
    if (!printer) {
        return false;
    }
    return ::DeleteFormA(printer.get(), TextArg(formName)) != 0;
}

bool PrinterManager::AddForm(const Name& printerName, const std::string& formName, int32_t widthCm,
                             int32_t heightCm) const {
    const std::optional<LONG> width = Scaled(widthCm, kPerCentimetre);
    const std::optional<LONG> height = Scaled(heightCm, kPerCentimetre);
    if (!width || !height) {
        return false;
    }
    const PrinterHandle printer(ChoosePrinter(printerName), 0);
    if (!printer) {
        return false;
    }
    FORM_INFO_1A form{};
    form.Flags = FORM_USER;
    form.pName = TextArg(formName);
    form.Size = SIZEL{*width, *height};
    form.ImageableArea = RECTL{0, 0, *width, *height};
    return ::AddFormA(printer.get(), 1, reinterpret_cast<LPBYTE>(&form)) != 0;
}

FormDetails PrinterManager::GetForm(const Name& printerName, const std::string& formName) const {
    const PrinterHandle printer(ChoosePrinter(printerName), 0);
    if (!printer) {
        return FormDetails{};
    }
    DWORD needed = 0;
    ::GetFormA(printer.get(), TextArg(formName), 1, nullptr, 0, &needed);
    const GlobalBlock block(needed);
    if (!::GetFormA(printer.get(), TextArg(formName), 1, block.data(), block.size(), &needed) ||
        block.size() < sizeof(FORM_INFO_1A)) {
        return FormDetails{};
    }
    FORM_INFO_1A form;
    std::memcpy(&form, block.data(), sizeof(form));
    return DetailsOf(form, kPerCentimetre);
}

bool PrinterManager::SetForm(const Name& printerName, const std::string& formName,
                             const FormDetails& form) const {
    const std::optional<LONG> width = Scaled(form.width, kPerTenthMillimetre);
    const std::optional<LONG> height = Scaled(form.height, kPerTenthMillimetre);
    const std::optional<LONG> right = Scaled(form.imageableRight, kPerTenthMillimetre);
    const std::optional<LONG> bottom = Scaled(form.imageableBottom, kPerTenthMillimetre);
    if (!width || !height || !right || !bottom) {
        return false;
    }
    const PrinterHandle printer(ChoosePrinter(printerName), PRINTER_ALL_ACCESS);
    if (!printer) {
        return false;
    }
    FORM_INFO_1A record{};
    record.Flags = KindFlags(form.kind);
    record.pName = TextArg(form.name);
    record.Size = SIZEL{*width, *height};
    record.ImageableArea = RECTL{0, 0, *right, *bottom};
    return ::SetFormA(printer.get(), TextArg(formName), 1, reinterpret_cast<LPBYTE>(&record)) != 0;
}
