// The fake "Excel.Application": an application with Workbooks, workbooks with Sheets, and sheets
// that log Activate and PrintOut. Workbooks.Add makes "Book1" with one sheet "Sheet1" active, as
// Excel does; Application.Sheets are the active workbook's.
#include "fake_excel.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <utility>

#include "platform/automation.h"
#include "platform/sheets/excel_server.h"

namespace fake_excel {
namespace {

using automation::Dispatch;
using automation::ObjectRef;
using automation::Result;
using automation::Variant;

constexpr int32_t kExcelError = static_cast<int32_t>(0x800A03EC);

std::unique_ptr<Server> server;

struct Book {
    std::string name;
    std::vector<std::string> sheets;
};
using BookRef = std::shared_ptr<Book>;

Result Value(Variant value) {
    return Result{std::move(value), std::nullopt};
}

class Object : public Dispatch {
  public:
    explicit Object(std::string kind) : kind_(std::move(kind)) {}
    Result Invoke(const std::string& name, uint16_t, const std::vector<Variant>& args) override {
        server->calls.push_back(kind_ + "." + name);
        return Member(name, args);
    }

  protected:
    virtual Result Member(const std::string& name, const std::vector<Variant>& args) = 0;

  private:
    std::string kind_;
};

class Sheet : public Object {
  public:
    Sheet(BookRef book, std::size_t index)
        : Object("Sheet"), book_(std::move(book)), index_(index) {}
    Result Member(const std::string& name, const std::vector<Variant>&) override {
        if (name == "Name") {
            return Value(book_->sheets[index_]);
        }
        if (name == "PrintOut") {
            server->printed.push_back(book_->name + "/" + book_->sheets[index_]);
            return Value(true);
        }
        if (name == "Activate") {
            return Value(true);
        }
        return Result::Fail(automation::kUnknownName, name);
    }

  private:
    BookRef book_;
    std::size_t index_;
};

class Sheets : public Object {
  public:
    explicit Sheets(BookRef book) : Object("Sheets"), book_(std::move(book)) {}
    Result Member(const std::string& name, const std::vector<Variant>& args) override {
        if (name == "Count") {
            return Value(static_cast<int32_t>(book_->sheets.size()));
        }
        if (name == "Item" && args.size() == 1 && std::holds_alternative<int32_t>(args[0])) {
            const int32_t index = std::get<int32_t>(args[0]);
            if (index < 1 || index > static_cast<int32_t>(book_->sheets.size())) {
                return Result::Fail(automation::kBadIndex, "Item");
            }
            return Value(ObjectRef(std::make_shared<Sheet>(book_, index - 1)));
        }
        return Result::Fail(automation::kUnknownName, name);
    }

  private:
    BookRef book_;
};

class Workbook : public Object {
  public:
    explicit Workbook(BookRef book) : Object("Workbook"), book_(std::move(book)) {}
    Result Member(const std::string& name, const std::vector<Variant>&) override {
        if (name == "Sheets") {
            return Value(ObjectRef(std::make_shared<Sheets>(book_)));
        }
        return Result::Fail(automation::kUnknownName, name);
    }

  private:
    BookRef book_;
};

struct AppState {
    BookRef active;
};

class Workbooks : public Object {
  public:
    explicit Workbooks(std::shared_ptr<AppState> app) : Object("Workbooks"), app_(std::move(app)) {}
    Result Member(const std::string& name, const std::vector<Variant>& args) override {
        if (name == "Add") {
            app_->active = std::make_shared<Book>(Book{"Book1", {"Sheet1"}});
            return Value(ObjectRef(std::make_shared<Workbook>(app_->active)));
        }
        if (name == "Open" && !args.empty() && std::holds_alternative<std::string>(args[0])) {
            const std::string& path = std::get<std::string>(args[0]);
            server->openedPaths.push_back(path);
            if (server->onOpen) {
                server->onOpen();
            }
            auto file = server->files.find(path);
            if (file == server->files.end()) {
                return Result::Fail(kExcelError, "cannot open " + path);
            }
            const std::size_t slash = path.find_last_of('/');
            app_->active = std::make_shared<Book>(
                Book{slash == std::string::npos ? path : path.substr(slash + 1), file->second});
            return Value(ObjectRef(std::make_shared<Workbook>(app_->active)));
        }
        return Result::Fail(automation::kUnknownName, name);
    }

  private:
    std::shared_ptr<AppState> app_;
};

class Application : public Object {
  public:
    Application() : Object("Application"), state_(std::make_shared<AppState>()) {}
    Result Member(const std::string& name, const std::vector<Variant>&) override {
        if (name == "Visible" || name == "Quit") {
            return Value(std::monostate{});
        }
        if (name == "Workbooks") {
            return Value(ObjectRef(std::make_shared<Workbooks>(state_)));
        }
        if (name == "Sheets" && state_->active) {
            return Value(ObjectRef(std::make_shared<Sheets>(state_->active)));
        }
        return Result::Fail(automation::kUnknownName, name);
    }

  private:
    std::shared_ptr<AppState> state_;
};

}  // namespace

Server& Install() {
    // Lets the platform's own servers register first, so that they do not replace the fake.
    automation::CreateObject("Tallowind.NoSuchClass");
    server = std::make_unique<Server>();
    automation::RegisterServer("Excel.Application", [] {
        ++server->instances;
        return ObjectRef(std::make_shared<Application>());
    });
    return *server;
}

void Uninstall() {
    // The spreadsheet stand-in is "Excel.Application" again.
    sheets::RegisterExcelApplication();
    server.reset();
}

}  // namespace fake_excel
