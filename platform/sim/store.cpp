// The simulated machine's state folder; see store.h. The text form lists each object under a
// [section] line with one key=value line per field, a field list written once per record type
// and used both to write and to read.
#include "platform/sim/store.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <set>
#include <sstream>
#include <system_error>
#include <type_traits>
#include <utility>

namespace sim::detail {
namespace {

namespace fs = std::filesystem;

constexpr const char* kMachineFile = "machine.txt";
constexpr const char* kLockFile = "lock";
constexpr const char* kJobsFolder = "jobs";
constexpr const char* kHeader =
    "# Tallowind simulated print spooler: one machine, shared by the user's processes.\n";

// Values are written as they are, but for '%', CR and LF, which are percent-encoded.
std::string Escape(const std::string& text) {
    std::string escaped;
    for (const char c : text) {
        if (c == '%') {
            escaped += "%25";
        } else if (c == '\n') {
            escaped += "%0A";
        } else if (c == '\r') {
            escaped += "%0D";
        } else {
            escaped += c;
        }
    }
    return escaped;
}

std::string Unescape(const std::string& text) {
    std::string plain;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size()) {
            const std::string code = text.substr(i + 1, 2);
            if (code == "25" || code == "0A" || code == "0D") {
                plain += code == "25" ? '%' : code == "0A" ? '\n' : '\r';
                i += 2;
                continue;
            }
        }
        plain += text[i];
    }
    return plain;
}

// Writes every field as a key=value line.
class Writer {
  public:
    explicit Writer(std::ostringstream& out) : out_(out) {}
    void operator()(const char* key, std::string& value) { Line(key, Escape(value)); }
    void operator()(const char* key, bool& value) { Line(key, value ? "1" : "0"); }
    template <typename Number>
    requires std::is_arithmetic_v<Number>
    void operator()(const char* key, Number& value) { Line(key, std::to_string(value)); }
    void operator()(const char* key, std::vector<std::string>& values) {
        for (std::string& value : values) {
            (*this)(key, value);
        }
    }
    void operator()(const char* key, SYSTEMTIME& t) {
        std::ostringstream text;
        text << t.wYear << ' ' << t.wMonth << ' ' << t.wDayOfWeek << ' ' << t.wDay << ' ' << t.wHour
             << ' ' << t.wMinute << ' ' << t.wSecond << ' ' << t.wMilliseconds;
        Line(key, text.str());
    }
    void operator()(const char* key, FILETIME& t) {
        Line(key, std::to_string(t.dwLowDateTime) + " " + std::to_string(t.dwHighDateTime));
    }

  private:
    void Line(const char* key, const std::string& value) { out_ << key << '=' << value << '\n'; }
    std::ostringstream& out_;
};

// Sets the one field whose key matches; `found` tells whether one did.
class Reader {
  public:
    Reader(const std::string& key, const std::string& value) : key_(key), value_(value) {}
    bool found = false;
    bool bad = false;

    void operator()(const char* key, std::string& value) {
        if (Matches(key)) {
            value = Unescape(value_);
        }
    }
    void operator()(const char* key, bool& value) {
        if (Matches(key)) {
            value = value_ == "1";
        }
    }
    template <typename Number>
    requires std::is_arithmetic_v<Number>
    void operator()(const char* key, Number& value) {
        if (Matches(key)) {
            std::istringstream in(value_);
            std::conditional_t<std::is_signed_v<Number>, long long, unsigned long long> number = 0;
            if (!(in >> number)) {
                bad = true;
            }
            value = static_cast<Number>(number);
        }
    }
    void operator()(const char* key, std::vector<std::string>& values) {
        if (Matches(key)) {
            values.push_back(Unescape(value_));
        }
    }
    void operator()(const char* key, SYSTEMTIME& t) {
        if (Matches(key)) {
            std::istringstream in(value_);
            if (!(in >> t.wYear >> t.wMonth >> t.wDayOfWeek >> t.wDay >> t.wHour >> t.wMinute >>
                  t.wSecond >> t.wMilliseconds)) {
                bad = true;
            }
        }
    }
    void operator()(const char* key, FILETIME& t) {
        if (Matches(key)) {
            std::istringstream in(value_);
            if (!(in >> t.dwLowDateTime >> t.dwHighDateTime)) {
                bad = true;
            }
        }
    }

  private:
    bool Matches(const char* key) {
        if (found || key_ != key) {
            return false;
        }
        found = true;
        return true;
    }
    std::string key_;
    std::string value_;
};

// ---- The fields of each record, in one place for both directions ----

template <typename Visit>
void Fields(Visit& v, DevMode& d) {
    v("orientation", d.orientation);
    v("paperSize", d.paperSize);
    v("formName", d.formName);
    v("copies", d.copies);
}

template <typename Visit>
void Fields(Visit& v, Printer& p) {
    v("name", p.name);
    v("serverName", p.serverName);
    v("shareName", p.shareName);
    v("portName", p.portName);
    v("driverName", p.driverName);
    v("comment", p.comment);
    v("location", p.location);
    v("sepFile", p.sepFile);
    v("printProcessor", p.printProcessor);
    v("datatype", p.datatype);
    v("parameters", p.parameters);
    v("attributes", p.attributes);
    v("priority", p.priority);
    v("defaultPriority", p.defaultPriority);
    v("startTime", p.startTime);
    v("untilTime", p.untilTime);
    v("status", p.status);
    v("averagePPM", p.averagePPM);
    v("standardUserAccess", p.standardUserAccess);
    Fields(v, p.devMode);
}

template <typename Visit>
void Fields(Visit& v, Job& j) {
    v("id", j.id);
    v("document", j.document);
    v("notifyName", j.notifyName);
    v("userName", j.userName);
    v("machineName", j.machineName);
    v("datatype", j.datatype);
    v("printProcessor", j.printProcessor);
    v("parameters", j.parameters);
    v("driverName", j.driverName);
    v("statusText", j.statusText);
    v("status", j.status);
    v("priority", j.priority);
    v("startTime", j.startTime);
    v("untilTime", j.untilTime);
    v("totalPages", j.totalPages);
    v("size", j.size);
    v("submitted", j.submitted);
    v("time", j.time);
    v("pagesPrinted", j.pagesPrinted);
}

template <typename Visit>
void Fields(Visit& v, Port& p) {
    v("name", p.name);
    v("monitor", p.monitor);
    v("description", p.description);
    v("type", p.type);
}

template <typename Visit>
void Fields(Visit& v, Monitor& m) {
    v("name", m.name);
    v("environment", m.environment);
    v("dll", m.dll);
}

template <typename Visit>
void Fields(Visit& v, PrintProcessor& p) {
    v("name", p.name);
    v("environment", p.environment);
    v("file", p.file);
    v("datatype", p.datatypes);
}

template <typename Visit>
void Fields(Visit& v, Driver& d) {
    v("version", d.version);
    v("name", d.name);
    v("environment", d.environment);
    v("driverPath", d.driverPath);
    v("dataFile", d.dataFile);
    v("configFile", d.configFile);
    v("helpFile", d.helpFile);
    v("dependentFile", d.dependentFiles);
    v("monitorName", d.monitorName);
    v("defaultDataType", d.defaultDataType);
    v("previousName", d.previousNames);
    v("date", d.date);
    v("driverVersion", d.driverVersion);
    v("manufacturer", d.manufacturer);
    v("oemUrl", d.oemUrl);
    v("hardwareId", d.hardwareId);
    v("provider", d.provider);
}

template <typename Visit>
void Fields(Visit& v, Form& f) {
    v("name", f.name);
    v("flags", f.flags);
    v("width", f.size.cx);
    v("height", f.size.cy);
    v("left", f.imageableArea.left);
    v("top", f.imageableArea.top);
    v("right", f.imageableArea.right);
    v("bottom", f.imageableArea.bottom);
}

// The machine's own fields. The token's enabled privileges belong to a process, not the machine.
template <typename Visit>
void Fields(Visit& v, Machine& m) {
    v("environment", m.environment);
    v("machineName", m.machineName);
    v("userName", m.userName);
    v("administrator", m.administrator);
    v("locale", m.locale);
    v("dateSeparator", m.dateSeparator);
    v("localeFails", m.localeFails);
    v("nextJobId", m.nextJobId);
    v("defaultPrinter", m.defaultPrinter);
    v("file", m.files);
    v("dialog.connectTo", m.dialogs.connectTo);
    v("dialog.propertiesOk", m.dialogs.propertiesOk);
    v("dialog.addPortName", m.dialogs.addPortName);
    v("dialog.configurePortOk", m.dialogs.configurePortOk);
    v("dialog.printSetupOk", m.dialogs.printSetupOk);
}

template <typename Record>
void Section(std::ostringstream& out, const char* name, Record& record) {
    out << '[' << name << "]\n";
    Writer writer(out);
    Fields(writer, record);
}

void Printers(std::ostringstream& out, const char* name, std::vector<Printer>& printers) {
    for (Printer& printer : printers) {
        Section(out, name, printer);
        for (Job& job : printer.jobs) {
            Section(out, "job", job);
        }
    }
}

bool ReadFile(const fs::path& file, std::string& text) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return false;
    }
    text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

// Writes `text` to a new file beside `file` and renames it over `file`, so a reader sees the old
// or the new contents, never half of them.
bool WriteAtomically(const fs::path& file, const std::string& text) {
    const fs::path temporary = file.string() + ".new." + std::to_string(::getpid());
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) {
        return false;
    }
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t written = ::write(fd, text.data() + done, text.size() - done);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            ::close(fd);
            ::unlink(temporary.c_str());
            return false;
        }
        done += static_cast<std::size_t>(written);
    }
    const bool synced = ::fsync(fd) == 0;
    ::close(fd);
    if (!synced || ::rename(temporary.c_str(), file.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

fs::path JobFile(const fs::path& folder, DWORD id) {
    return folder / kJobsFolder / (std::to_string(id) + ".dat");
}

template <typename Each>
void ForEachJob(Machine& machine, Each each) {
    for (auto* printers : {&machine.printers, &machine.connections}) {
        for (Printer& printer : *printers) {
            for (Job& job : printer.jobs) {
                each(job);
            }
        }
    }
}

}  // namespace

std::string Serialize(const Machine& constMachine) {
    // The writer visits fields by reference; it only reads them.
    Machine& machine = const_cast<Machine&>(constMachine);
    std::ostringstream out;
    out << kHeader;
    Section(out, "machine", machine);
    Printers(out, "printer", machine.printers);
    Printers(out, "connection", machine.connections);
    Printers(out, "network", machine.networkPrinters);
    for (Port& port : machine.ports) {
        Section(out, "port", port);
    }
    for (Monitor& monitor : machine.monitors) {
        Section(out, "monitor", monitor);
    }
    for (PrintProcessor& processor : machine.processors) {
        Section(out, "processor", processor);
    }
    for (Driver& driver : machine.drivers) {
        Section(out, "driver", driver);
    }
    for (Form& form : machine.forms) {
        Section(out, "form", form);
    }
    return out.str();
}

bool Parse(const std::string& text, Machine& result, std::string& error) {
    Machine machine;
    machine.files.clear();
    machine.enabledPrivileges.clear();
    std::function<bool(Reader&)> current;
    Printer* lastPrinter = nullptr;
    std::istringstream in(text);
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.empty() || line[0] == '#') {
            continue;
        }
        if (line.front() == '[' && line.back() == ']') {
            const std::string section = line.substr(1, line.size() - 2);
            auto printerIn = [&](std::vector<Printer>& list) {
                list.emplace_back();
                lastPrinter = &list.back();
                Printer* printer = lastPrinter;
                return [printer](Reader& r) {
                    Fields(r, *printer);
                    return r.found;
                };
            };
            auto add = [&](auto& list) {
                list.emplace_back();
                auto* item = &list.back();
                return [item](Reader& r) {
                    Fields(r, *item);
                    return r.found;
                };
            };
            if (section == "machine") {
                current = [&machine](Reader& r) {
                    Fields(r, machine);
                    return r.found;
                };
            } else if (section == "printer") {
                current = printerIn(machine.printers);
            } else if (section == "connection") {
                current = printerIn(machine.connections);
            } else if (section == "network") {
                current = printerIn(machine.networkPrinters);
            } else if (section == "job") {
                if (lastPrinter == nullptr) {
                    error = "line " + std::to_string(number) + ": a job outside a printer";
                    return false;
                }
                current = add(lastPrinter->jobs);
            } else if (section == "port") {
                current = add(machine.ports);
            } else if (section == "monitor") {
                current = add(machine.monitors);
            } else if (section == "processor") {
                current = add(machine.processors);
            } else if (section == "driver") {
                current = add(machine.drivers);
            } else if (section == "form") {
                current = add(machine.forms);
            } else {
                error = "line " + std::to_string(number) + ": unknown section " + section;
                return false;
            }
            continue;
        }
        const std::size_t equals = line.find('=');
        if (equals == std::string::npos || !current) {
            error = "line " + std::to_string(number) + ": not a key=value line in a section";
            return false;
        }
        Reader reader(line.substr(0, equals), line.substr(equals + 1));
        if (!current(reader) || reader.bad) {
            error = "line " + std::to_string(number) + ": unknown key or bad value";
            return false;
        }
    }
    machine.enabledPrivileges = result.enabledPrivileges;
    machine.removedPrivileges = result.removedPrivileges;
    result = std::move(machine);
    return true;
}

fs::path StateFolder() {
    if (const char* folder = std::getenv("TALLOWIND_SPOOLER_DIR"); folder != nullptr && *folder) {
        return folder;
    }
    if (const char* state = std::getenv("XDG_STATE_HOME"); state != nullptr && *state) {
        return fs::path(state) / "tallowind" / "spooler";
    }
    const char* home = std::getenv("HOME");
    return fs::path(home != nullptr && *home ? home : "/tmp") / ".local" / "state" / "tallowind" /
           "spooler";
}

std::optional<Store> Store::Open(const fs::path& folder) {
    std::error_code error;
    fs::create_directories(folder / kJobsFolder, error);
    if (error) {
        return std::nullopt;
    }
    const int fd = ::open((folder / kLockFile).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        return std::nullopt;
    }
    return Store(folder, fd);
}

Store::Store(fs::path folder, int lockFd) : folder_(std::move(folder)), lockFd_(lockFd) {}

Store::Store(Store&& other) noexcept
    : folder_(std::move(other.folder_)),
      lockFd_(std::exchange(other.lockFd_, -1)),
      loadedText_(std::move(other.loadedText_)) {}

Store::~Store() {
    if (lockFd_ >= 0) {
        ::close(lockFd_);
    }
}

void Store::Begin(Machine& machine) {
    while (::flock(lockFd_, LOCK_EX) != 0 && errno == EINTR) {
    }
    RemoveLeftovers();
    Load(machine);
}

// Files are only written under the lock, so a half-written new file found while holding it was
// left by a process that died before renaming it.
void Store::RemoveLeftovers() {
    std::error_code error;
    for (const fs::path& folder : {folder_, folder_ / kJobsFolder}) {
        for (const auto& entry : fs::directory_iterator(folder, error)) {
            if (entry.path().filename().string().find(".new.") != std::string::npos) {
                fs::remove(entry.path(), error);
            }
        }
    }
}

void Store::End(const Machine& machine) {
    Save(machine);
    ::flock(lockFd_, LOCK_UN);
}

void Store::Load(Machine& machine) {
    const fs::path file = folder_ / kMachineFile;
    std::string text;
    if (!fs::exists(file)) {
        // First use: the embedded default machine.
        Machine initial = DefaultMachine();
        initial.enabledPrivileges = machine.enabledPrivileges;
        initial.removedPrivileges = machine.removedPrivileges;
        machine = std::move(initial);
        loadedText_.clear();
        Save(machine);
        return;
    }
    if (!ReadFile(file, text)) {
        std::fprintf(stderr, "tallowind: the spooler state %s cannot be read\n", file.c_str());
        return;
    }
    if (text == loadedText_) {
        return;  // unchanged since this process last read or wrote it
    }
    std::string error;
    if (!Parse(text, machine, error)) {
        std::fprintf(stderr, "tallowind: the spooler state %s is damaged (%s); left as it is\n",
                     file.c_str(), error.c_str());
        return;
    }
    ForEachJob(machine, [&](Job& job) {
        if (!ReadFile(JobFile(folder_, job.id), job.data)) {
            job.data.clear();
        }
    });
    loadedText_ = std::move(text);
}

void Store::Save(const Machine& constMachine) {
    const std::string text = Serialize(constMachine);
    Machine& machine = const_cast<Machine&>(constMachine);
    // Each job's data in a file of its own, written when it grew or is new.
    std::set<std::string> present;
    ForEachJob(machine, [&](Job& job) {
        const fs::path file = JobFile(folder_, job.id);
        present.insert(file.filename().string());
        std::error_code error;
        const auto size = fs::file_size(file, error);
        if (error || size != job.data.size()) {
            WriteAtomically(file, job.data);
        }
    });
    if (text != loadedText_) {
        if (WriteAtomically(folder_ / kMachineFile, text)) {
            loadedText_ = text;
        }
        // Data of jobs that left the queue goes with them.
        std::error_code error;
        for (const auto& entry : fs::directory_iterator(folder_ / kJobsFolder, error)) {
            if (present.count(entry.path().filename().string()) == 0) {
                fs::remove(entry.path(), error);
            }
        }
    }
}

}  // namespace sim::detail
