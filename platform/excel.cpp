// The Excel components, written once against the automation layer. Every automation error is
// swallowed here: the operation stops where it came and nothing reaches the caller.
#include "platform/excel.h"

#include <vector>

using automation::Missing;
using automation::Variant;

bool ExcelApp::Start() {
    instance_.reset();
    automation::Result created = automation::CreateObject("Excel.Application");
    if (!created.ok()) {
        return false;
    }
    instance_ = created.object();
    return instance_ != nullptr;
}

void ExcelApp::Visible(bool visible) {
    if (instance_ != nullptr) {
        automation::Put(instance_, "Visible", visible);
    }
}

void ExcelApp::Quit() {
    if (instance_ != nullptr) {
        automation::Call(instance_, "Quit");
    }
}

void ExcelApp::Release() {
    instance_.reset();
}

void AutomationObject::CallMethod(const std::string& name) {
    TryCallMethod(name);
}

bool AutomationObject::TryCallMethod(const std::string& name) {
    return object_ != nullptr && automation::CallOrGet(object_, name).ok();
}

void ExcelWorkbooks::DropBinding() {
    workbooks_.reset();
    workbook_.reset();
    sheets_.reset();
    currentSheet_.reset();
}

bool ExcelWorkbooks::AttachToApplication(const ExcelApp& app) {
    DropBinding();
    const automation::ObjectRef& instance = app.instance();
    if (instance == nullptr) {
        return false;
    }
    automation::Result workbooks = automation::Get(instance, "Workbooks");
    if (!workbooks.ok()) {
        return false;
    }
    workbooks_ = workbooks.object();
    // The new workbook becomes the active one; the returned object is not kept.
    if (!automation::Call(workbooks_, "Add", {Missing{}}).ok()) {
        return false;
    }
    automation::Result sheets = automation::Get(instance, "Sheets");
    if (!sheets.ok()) {
        return false;
    }
    sheets_ = sheets.object();
    automation::Result first = automation::Get(sheets_, "Item", {int32_t{1}});
    if (!first.ok()) {
        return false;
    }
    currentSheet_ = first.object();
    return true;
}

bool ExcelWorkbooks::Open(const std::string& path) {
    if (workbooks_ == nullptr) {
        return false;
    }
    std::vector<Variant> args{path};
    args.resize(13, Missing{});
    automation::Result opened = automation::Call(workbooks_, "Open", args);
    if (!opened.ok() || opened.object() == nullptr) {
        return false;
    }
    automation::ObjectRef workbook = opened.object();
    automation::Result sheets = automation::Get(workbook, "Sheets");
    if (!sheets.ok()) {
        return false;
    }
    automation::Result first = automation::Get(sheets.object(), "Item", {int32_t{1}});
    if (!first.ok()) {
        return false;
    }
    workbook_ = std::move(workbook);
    sheets_ = sheets.object();
    currentSheet_ = first.object();
    return true;
}

int32_t ExcelWorkbooks::SheetCount() const {
    if (sheets_ == nullptr) {
        return 0;
    }
    return automation::Get(sheets_, "Count").integer().value_or(0);
}

void ExcelWorkbooks::CurrentSheetIndex(int32_t index) {
    if (sheets_ == nullptr) {
        return;
    }
    automation::Result item = automation::Get(sheets_, "Item", {index});
    if (item.ok() && item.object() != nullptr) {
        currentSheet_ = item.object();
    }
}

std::string ExcelWorkbooks::CurrentSheetName() const {
    if (currentSheet_ == nullptr) {
        return std::string();
    }
    return automation::Get(currentSheet_, "Name").text().value_or(std::string());
}

void ExcelWorkbooks::ActivateCurrentSheet() {
    if (currentSheet_ != nullptr) {
        automation::Call(currentSheet_, "Activate");
    }
}

AutomationObject ExcelWorkbooks::GetCurrentSheetObject() const {
    return AutomationObject(currentSheet_);
}
