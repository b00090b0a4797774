// The Excel automation components the window uses: ExcelApp (one running Excel), ExcelWorkbooks
// (a binding to a workbook, its Sheets and a current sheet) and AutomationObject (one reference to
// an automation interface). They make Excel's calls by name in a fixed order and swallow every
// automation error: an operation stops where the error came, and the caller is not told.
#pragma once

#include <cstdint>
#include <string>

#include "platform/automation.h"

// The Excel application component: holds at most one "Excel.Application" instance.
class ExcelApp {
  public:
    // Drops the held instance without asking it to quit, then creates a new one.
    bool Start();
    // Application.Visible; no effect without an instance.
    void Visible(bool visible);
    // Application.Quit; the instance stays held. Nothing without an instance.
    void Quit();
    // Drops the held instance without asking it to quit.
    void Release();

    const automation::ObjectRef& instance() const { return instance_; }

  private:
    automation::ObjectRef instance_;
};

// A generic automation object: one reference, empty after Clear.
class AutomationObject {
  public:
    AutomationObject() = default;
    explicit AutomationObject(automation::ObjectRef object) : object_(std::move(object)) {}

    // Invokes the member with no arguments as a method or a property read; the result is thrown
    // away and a failure is not reported.
    void CallMethod(const std::string& name);
    // The same call, telling whether it succeeded (for callers that report failures).
    bool TryCallMethod(const std::string& name);
    void Clear() { object_.reset(); }
    bool empty() const { return object_ == nullptr; }

  private:
    automation::ObjectRef object_;
};

// The Excel workbook component: Workbooks, one workbook, its Sheets and a current sheet.
class ExcelWorkbooks {
  public:
    // Drops the previous binding; binds the application's Workbooks, adds a new empty workbook,
    // binds the application's Sheets and makes Sheets.Item(1) current. False without an instance.
    bool AttachToApplication(const ExcelApp& app);
    // Workbooks.Open(path) with the twelve other parameters missing; on success binds the workbook,
    // its Sheets and Sheets.Item(1). Otherwise the binding stays as it was.
    bool Open(const std::string& path);
    // Count of the bound Sheets; 0 when nothing is bound.
    int32_t SheetCount() const;
    // Sheets.Item(index) becomes current; a refused number leaves the current sheet as it was.
    void CurrentSheetIndex(int32_t index);
    // Name of the current sheet; the empty text when there is none.
    std::string CurrentSheetName() const;
    // Activate on the current sheet, if there is one.
    void ActivateCurrentSheet();
    // A new object holding its own reference to the current sheet (empty when there is none).
    AutomationObject GetCurrentSheetObject() const;

  private:
    void DropBinding();

    automation::ObjectRef workbooks_;
    automation::ObjectRef workbook_;
    automation::ObjectRef sheets_;
    automation::ObjectRef currentSheet_;
};
