// The spreadsheet stand-in's automation objects, registered as "Excel.Application": the
// application, its Workbooks, a Workbook, its Sheets and a Sheet, answering the members the tool
// calls as Excel does. Workbooks are read by workbook_file.h; PrintOut hands a sheet to the
// spooler as one job on the default printer, through the spooler functions.
#include "platform/sheets/excel_server.h"

#include <algorithm>
#include <cctype>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/automation.h"
#include "platform/sheets/workbook_file.h"
#include "platform/spooler.h"

namespace sheets {

namespace {

using automation::Dispatch;
using automation::ObjectRef;
using automation::Result;
using automation::Variant;

// Excel's "application-defined or object-defined error" and the disconnected server's error.
constexpr int32_t kExcelError = static_cast<int32_t>(0x800A03EC);
constexpr int32_t kDisconnected = static_cast<int32_t>(0x80010108);

std::mutex logMutex;
std::vector<std::string> serverCalls;

void Log(const std::string& call) {
    std::lock_guard lock(logMutex);
    serverCalls.push_back(call);
}

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

Result Value(Variant value) {
    return Result{std::move(value), std::nullopt};
}
Result Nothing() {
    return Result{};
}

std::string FileName(const std::string& path) {
    const size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

struct SheetState {
    std::string name;
    SheetKind kind = SheetKind::Worksheet;
    Visibility visibility = Visibility::Visible;
    int fileIndex = -1;  // the sheet's index in the workbook file; -1 for a new workbook's sheet
};

struct WorkbookState {
    std::string name;      // the file name, or "Book1" for a new workbook
    std::string fullName;  // the path it was opened from
    std::unique_ptr<WorkbookFile> file;
    std::vector<SheetState> sheets;
    size_t activeSheet = 0;
};

struct ApplicationState {
    bool visible = false;
    bool quit = false;
    int newWorkbooks = 0;
    std::vector<std::shared_ptr<WorkbookState>> workbooks;
    std::shared_ptr<WorkbookState> active;
};

// A member table: each object answers its members by case-insensitive name, as IDispatch does.
class Object : public Dispatch {
  public:
    Result Invoke(const std::string& name, uint16_t kind,
                  const std::vector<Variant>& args) override {
        Log(typeName_ + "." + name);
        if (app_->quit) {
            return Result::Fail(kDisconnected, "the application has quit");
        }
        const auto found = members_.find(Lower(name));
        if (found == members_.end()) {
            return Result::Fail(automation::kUnknownName, "unknown member " + name);
        }
        return found->second(kind, args);
    }

  protected:
    using Member = std::function<Result(uint16_t, const std::vector<Variant>&)>;
    Object(std::shared_ptr<ApplicationState> app, std::string typeName)
        : app_(std::move(app)), typeName_(std::move(typeName)) {}
    void Add(const std::string& name, Member member) { members_[Lower(name)] = std::move(member); }

    std::shared_ptr<ApplicationState> app_;

  private:
    std::string typeName_;
    std::map<std::string, Member> members_;
};

// The sheet's number from an Item argument; names are matched too, as Excel does.
std::optional<size_t> ItemIndex(const WorkbookState& workbook, const std::vector<Variant>& args) {
    if (args.size() != 1) {
        return std::nullopt;
    }
    if (const auto* number = std::get_if<int32_t>(&args[0])) {
        if (*number >= 1 && static_cast<size_t>(*number) <= workbook.sheets.size()) {
            return static_cast<size_t>(*number - 1);
        }
        return std::nullopt;
    }
    if (const auto* number = std::get_if<double>(&args[0])) {
        const auto whole = static_cast<int64_t>(*number);
        if (whole >= 1 && static_cast<size_t>(whole) <= workbook.sheets.size()) {
            return static_cast<size_t>(whole - 1);
        }
        return std::nullopt;
    }
    if (const auto* name = std::get_if<std::string>(&args[0])) {
        for (size_t i = 0; i < workbook.sheets.size(); ++i) {
            if (Lower(workbook.sheets[i].name) == Lower(*name)) {
                return i;
            }
        }
    }
    return std::nullopt;
}

// One spooler job: the steps a Windows program takes, each undone on every path.
class SpoolerJob {
  public:
    ~SpoolerJob() {
        if (pageStarted_) {
            ::EndPagePrinter(printer_);
        }
        if (docStarted_) {
            ::EndDocPrinter(printer_);
        }
        if (opened_) {
            ::ClosePrinter(printer_);
        }
    }

    // Prints `data` as one document named `document` on the current default printer.
    std::optional<std::string> Print(const std::string& document, const std::string& data) {
        DWORD needed = 0;
        ::GetDefaultPrinterA(nullptr, &needed);
        if (needed == 0) {
            return "no default printer";
        }
        std::vector<char> name(needed, '\0');
        if (!::GetDefaultPrinterA(name.data(), &needed)) {
            return "the default printer cannot be read";
        }
        if (!::OpenPrinterA(name.data(), &printer_, nullptr)) {
            return "the default printer cannot be opened";
        }
        opened_ = true;
        std::string documentName = document;
        char datatype[] = "RAW";
        DOC_INFO_1A info{documentName.data(), nullptr, datatype};
        if (::StartDocPrinterA(printer_, 1, reinterpret_cast<LPBYTE>(&info)) == 0) {
            return "the document cannot be started";
        }
        docStarted_ = true;
        if (!::StartPagePrinter(printer_)) {
            return "the page cannot be started";
        }
        pageStarted_ = true;
        std::string bytes = data;
        DWORD written = 0;
        if (!bytes.empty() &&
            (!::WritePrinter(printer_, bytes.data(), static_cast<DWORD>(bytes.size()), &written) ||
             written != bytes.size())) {
            return "the data cannot be written";
        }
        pageStarted_ = false;
        if (!::EndPagePrinter(printer_)) {
            return "the page cannot be ended";
        }
        docStarted_ = false;
        if (!::EndDocPrinter(printer_)) {
            return "the document cannot be ended";
        }
        return std::nullopt;
    }

  private:
    HANDLE printer_ = nullptr;
    bool opened_ = false;
    bool docStarted_ = false;
    bool pageStarted_ = false;
};

class SheetObject : public Object {
  public:
    SheetObject(std::shared_ptr<ApplicationState> app, std::shared_ptr<WorkbookState> workbook,
                size_t index)
        : Object(std::move(app), "Sheet"), workbook_(std::move(workbook)), index_(index) {
        Add("Name", [this](uint16_t, const std::vector<Variant>&) { return Value(sheet().name); });
        Add("Index", [this](uint16_t, const std::vector<Variant>&) {
            return Value(static_cast<int32_t>(index_ + 1));
        });
        Add("Visible", [this](uint16_t, const std::vector<Variant>&) {
            // xlSheetVisible -1, xlSheetHidden 0, xlSheetVeryHidden 2
            switch (sheet().visibility) {
                case Visibility::Visible:
                    return Value(int32_t{-1});
                case Visibility::Hidden:
                    return Value(int32_t{0});
                case Visibility::VeryHidden:
                    return Value(int32_t{2});
            }
            return Value(int32_t{-1});
        });
        Add("Activate", [this](uint16_t, const std::vector<Variant>&) {
            // Excel refuses to activate a hidden sheet.
            if (sheet().visibility != Visibility::Visible) {
                return Result::Fail(kExcelError, "Activate method of Worksheet class failed");
            }
            workbook_->activeSheet = index_;
            app_->active = workbook_;
            return Nothing();
        });
        Add("PrintOut", [this](uint16_t, const std::vector<Variant>&) { return PrintOut(); });
    }

  private:
    const SheetState& sheet() const { return workbook_->sheets[index_]; }

    Result PrintOut() {
        const SheetState& state = sheet();
        std::string data;
        if (state.kind == SheetKind::Chart) {
            data = state.name;
        } else if (workbook_->file != nullptr && state.fileIndex >= 0) {
            std::string error;
            if (!workbook_->file->SheetText(static_cast<size_t>(state.fileIndex), data, error)) {
                return Result::Fail(kExcelError, "PrintOut failed: " + error);
            }
        }
        SpoolerJob job;
        if (auto error = job.Print(workbook_->name + " - " + state.name, data)) {
            return Result::Fail(kExcelError, "PrintOut failed: " + *error);
        }
        return Nothing();
    }

    std::shared_ptr<WorkbookState> workbook_;
    size_t index_;
};

class SheetsObject : public Object {
  public:
    SheetsObject(std::shared_ptr<ApplicationState> app, std::shared_ptr<WorkbookState> workbook)
        : Object(std::move(app), "Sheets"), workbook_(std::move(workbook)) {
        Add("Count", [this](uint16_t, const std::vector<Variant>&) {
            return Value(static_cast<int32_t>(workbook_->sheets.size()));
        });
        Add("Item", [this](uint16_t, const std::vector<Variant>& args) {
            const auto index = ItemIndex(*workbook_, args);
            if (!index) {
                return Result::Fail(automation::kBadIndex, "subscript out of range");
            }
            return Value(ObjectRef(std::make_shared<SheetObject>(app_, workbook_, *index)));
        });
    }

  private:
    std::shared_ptr<WorkbookState> workbook_;
};

class WorkbookObject : public Object {
  public:
    WorkbookObject(std::shared_ptr<ApplicationState> app, std::shared_ptr<WorkbookState> workbook)
        : Object(std::move(app), "Workbook"), workbook_(std::move(workbook)) {
        Add("Name",
            [this](uint16_t, const std::vector<Variant>&) { return Value(workbook_->name); });
        Add("FullName", [this](uint16_t, const std::vector<Variant>&) {
            return Value(workbook_->fullName.empty() ? workbook_->name : workbook_->fullName);
        });
        Add("Sheets", [this](uint16_t, const std::vector<Variant>&) {
            return Value(ObjectRef(std::make_shared<SheetsObject>(app_, workbook_)));
        });
        Add("Worksheets", [this](uint16_t, const std::vector<Variant>&) {
            return Value(ObjectRef(std::make_shared<SheetsObject>(app_, workbook_)));
        });
    }

  private:
    std::shared_ptr<WorkbookState> workbook_;
};

class WorkbooksObject : public Object {
  public:
    explicit WorkbooksObject(std::shared_ptr<ApplicationState> app)
        : Object(std::move(app), "Workbooks") {
        Add("Count", [this](uint16_t, const std::vector<Variant>&) {
            return Value(static_cast<int32_t>(app_->workbooks.size()));
        });
        Add("Add", [this](uint16_t, const std::vector<Variant>&) { return AddWorkbook(); });
        Add("Open", [this](uint16_t, const std::vector<Variant>& args) { return Open(args); });
    }

  private:
    // A new workbook with Excel's default sheet "Sheet1"; it becomes the active one.
    Result AddWorkbook() {
        auto workbook = std::make_shared<WorkbookState>();
        workbook->name = "Book" + std::to_string(++app_->newWorkbooks);
        workbook->sheets.push_back(SheetState{"Sheet1", SheetKind::Worksheet, Visibility::Visible});
        app_->workbooks.push_back(workbook);
        app_->active = workbook;
        return Value(ObjectRef(std::make_shared<WorkbookObject>(app_, workbook)));
    }

    // Reads the workbook; on any failure the application and its workbooks stay as they were.
    Result Open(const std::vector<Variant>& args) {
        const auto* path = args.empty() ? nullptr : std::get_if<std::string>(&args[0]);
        if (path == nullptr) {
            return Result::Fail(automation::kTypeMismatch, "Open needs a file name");
        }
        std::string error;
        std::unique_ptr<WorkbookFile> file = WorkbookFile::Open(*path, error);
        if (file == nullptr) {
            return Result::Fail(kExcelError, "cannot open " + *path + ": " + error);
        }
        auto workbook = std::make_shared<WorkbookState>();
        workbook->name = FileName(*path);
        workbook->fullName = *path;
        const std::vector<SheetInfo>& sheets = file->Sheets();
        for (size_t i = 0; i < sheets.size(); ++i) {
            workbook->sheets.push_back(SheetState{sheets[i].name, sheets[i].kind,
                                                  sheets[i].visibility, static_cast<int>(i)});
        }
        if (workbook->sheets.empty()) {
            return Result::Fail(kExcelError,
                                "cannot open " + *path + ": the workbook has no sheets");
        }
        workbook->file = std::move(file);
        app_->workbooks.push_back(workbook);
        app_->active = workbook;
        return Value(ObjectRef(std::make_shared<WorkbookObject>(app_, workbook)));
    }
};

class ApplicationObject : public Object {
  public:
    explicit ApplicationObject(std::shared_ptr<ApplicationState> state)
        : Object(std::move(state), "Application"),
          workbooks_(std::make_shared<WorkbooksObject>(app_)) {
        Add("Visible", [this](uint16_t kind, const std::vector<Variant>& args) {
            if ((kind & automation::kPropertyPut) != 0) {
                const auto* visible = args.size() == 1 ? std::get_if<bool>(&args[0]) : nullptr;
                if (visible == nullptr) {
                    return Result::Fail(automation::kTypeMismatch, "Visible takes a boolean");
                }
                app_->visible = *visible;
                return Nothing();
            }
            return Value(app_->visible);
        });
        Add("Application", [this](uint16_t, const std::vector<Variant>&) {
            return Value(ObjectRef(self_.lock()));
        });
        Add("Workbooks",
            [this](uint16_t, const std::vector<Variant>&) { return Value(ObjectRef(workbooks_)); });
        Add("ActiveWorkbook", [this](uint16_t, const std::vector<Variant>&) {
            if (app_->active == nullptr) {
                return Nothing();
            }
            return Value(ObjectRef(std::make_shared<WorkbookObject>(app_, app_->active)));
        });
        Add("Sheets", [this](uint16_t, const std::vector<Variant>&) {
            if (app_->active == nullptr) {
                return Result::Fail(kExcelError, "no active workbook");
            }
            return Value(ObjectRef(std::make_shared<SheetsObject>(app_, app_->active)));
        });
        Add("Quit", [this](uint16_t, const std::vector<Variant>&) {
            app_->quit = true;
            app_->workbooks.clear();
            app_->active.reset();
            return Nothing();
        });
    }

    static ObjectRef Create() {
        auto object = std::shared_ptr<ApplicationObject>(
            new ApplicationObject(std::make_shared<ApplicationState>()));
        object->self_ = object;
        return object;
    }

  private:
    std::weak_ptr<ApplicationObject> self_;
    ObjectRef workbooks_;
};

}  // namespace

void RegisterExcelApplication() {
    automation::RegisterServer("Excel.Application", [] { return ApplicationObject::Create(); });
}

std::vector<std::string> ServerCalls() {
    std::lock_guard lock(logMutex);
    return serverCalls;
}

void ClearServerCalls() {
    std::lock_guard lock(logMutex);
    serverCalls.clear();
}

}  // namespace sheets

namespace automation {

// Where there is no COM, the in-process servers register themselves on first use.
void RegisterInProcessServers() {
    sheets::RegisterExcelApplication();
}

}  // namespace automation
