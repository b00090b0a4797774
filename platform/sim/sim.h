// The simulated spooler's machine model and its test hooks. The spooler functions of
// platform/spooler.h act on the one installed machine; tests seed it, inject failures, read the
// call log and count what was left open.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/spooler.h"

namespace sim {

// The device settings a printer keeps for its jobs (the part of DEVMODEA the machine models).
struct DevMode {
    short orientation = DMORIENT_PORTRAIT;
    short paperSize = DMPAPER_A4;
    std::string formName = "A4";
    short copies = 1;
};

struct Job {
    DWORD id = 0;
    std::string document;
    std::string notifyName;
    std::string userName;
    std::string machineName;
    std::string datatype = "RAW";
    std::string printProcessor = "winprint";
    std::string parameters;
    std::string driverName;
    std::string statusText;  // pStatus: a driver's own status text, usually empty (null)
    DWORD status = 0;
    DWORD priority = DEF_PRIORITY;
    DWORD startTime = 0;
    DWORD untilTime = 0;
    DWORD totalPages = 0;
    DWORD size = 0;
    SYSTEMTIME submitted{};  // UTC
    DWORD time = 0;
    DWORD pagesPrinted = 0;
    std::string data;  // the bytes written to the job
};

struct Printer {
    std::string name;        // local name, or \\server\name for a connection
    std::string serverName;  // empty for a local printer
    std::string shareName;
    std::string portName;
    std::string driverName;
    std::string comment;
    std::string location;
    std::string sepFile;
    std::string printProcessor = "winprint";
    std::string datatype = "RAW";
    std::string parameters;
    DWORD attributes = PRINTER_ATTRIBUTE_LOCAL | PRINTER_ATTRIBUTE_DO_COMPLETE_FIRST;
    DWORD priority = 1;
    DWORD defaultPriority = 0;
    DWORD startTime = 0;
    DWORD untilTime = 0;
    DWORD status = 0;
    DWORD averagePPM = 0;
    DevMode devMode;
    DWORD standardUserAccess = PRINTER_ACCESS_USE;  // what a standard user may open it with
    std::vector<Job> jobs;                          // the queue, in print order
};

struct Port {
    std::string name;
    std::string monitor;
    std::string description;
    DWORD type = PORT_TYPE_WRITE | PORT_TYPE_READ;
};

struct Monitor {
    std::string name;
    std::string environment;
    std::string dll;
};

struct PrintProcessor {
    std::string name;
    std::string environment;
    std::string file;
    std::vector<std::string> datatypes;
};

struct Driver {
    DWORD version = 3;  // cVersion
    std::string name;
    std::string environment;
    std::string driverPath;
    std::string dataFile;
    std::string configFile;
    std::string helpFile;
    std::vector<std::string> dependentFiles;
    std::string monitorName;
    std::string defaultDataType = "RAW";
    std::vector<std::string> previousNames;
    FILETIME date{};
    DWORDLONG driverVersion = 0;
    std::string manufacturer;
    std::string oemUrl;
    std::string hardwareId;
    std::string provider;
};

struct Form {
    std::string name;
    DWORD flags = FORM_BUILTIN;
    SIZEL size{};
    RECTL imageableArea{};
};

// Outcomes of the spooler's dialogs, set by a test or a script before the dialog opens.
struct DialogScript {
    std::string connectTo;        // ConnectToPrinterDlg: the printer chosen; empty cancels
    bool propertiesOk = true;     // PrinterProperties: OK (TRUE) or cancel (FALSE)
    std::string addPortName;      // AddPortA: the port name typed; empty cancels
    bool configurePortOk = true;  // ConfigurePortA
    bool printSetupOk = true;     // PrintDlgA: OK or cancel
};

struct Machine {
    std::vector<Printer> printers;     // local printers, in the spooler's order
    std::vector<Printer> connections;  // the user's connections (\\server\name), in order
    // Printers shared by other servers on the network, named \\server\share: what a connection
    // can be made to.
    std::vector<Printer> networkPrinters;
    std::string defaultPrinter;  // empty: no default printer
    std::vector<Port> ports;
    std::vector<Monitor> monitors;
    std::vector<PrintProcessor> processors;
    std::vector<Driver> drivers;
    std::vector<Form> forms;
    std::vector<std::string> files;  // files present in the driver, processor and system folders
    std::string environment = "Windows x64";
    std::string machineName = "\\\\OFFICE-PC";
    std::string userName = "user";
    bool administrator = false;  // standard user: PRINTER_ACCESS_USE only, no SeLoadDriverPrivilege
    // The process token's privileges by name: those enabled now, and those removed for good. Which
    // ones the token holds follows from `administrator`.
    std::vector<std::string> enabledPrivileges = {"SeChangeNotifyPrivilege"};
    std::vector<std::string> removedPrivileges;
    LCID locale = 0x0804;
    std::string dateSeparator = "/";
    bool localeFails = false;  // GetLocaleInfoA fails for every request
    DWORD nextJobId = 1;
    DialogScript dialogs;
};

// The small office the tool sees on Linux: local printers, one connection, ports, monitors,
// the winprint processor, drivers and the built-in forms.
Machine DefaultMachine();

// An empty machine (no printers, no default) with the standard ports, monitors, processor and
// forms, for tests to add to.
Machine EmptyMachine();

// Builds a machine for a test, starting from the empty one.
class MachineBuilder {
  public:
    MachineBuilder();
    explicit MachineBuilder(Machine base);
    MachineBuilder& AddPrinter(Printer printer);
    MachineBuilder& AddPrinter(const std::string& name, const std::string& port = "LPT1:",
                               const std::string& driver = "Generic Text Driver");
    MachineBuilder& AddConnection(const std::string& uncName,
                                  const std::string& driver = "Generic Text Driver");
    MachineBuilder& Default(const std::string& name);
    MachineBuilder& Administrator(bool administrator);
    // Queues `job` at the end of the printer's queue. An id of 0 becomes the next free id, and an
    // empty user, notify name, machine or driver comes from the machine and the printer.
    MachineBuilder& AddJob(const std::string& printer, Job job);
    Machine& machine() { return machine_; }
    Machine Build() const { return machine_; }

  private:
    Machine machine_;
};

// ---- The installed machine ----

// Replaces the machine, and clears the call log, injected failures, hooks and counters.
void Install(Machine machine);
Machine& Current();
// A copy of the queue of the printer or connection `printer` names, in print order with each job's
// data; empty when there is no such printer.
std::vector<Job> JobsOf(const std::string& printer);
void SetAdministrator(bool administrator);

// ---- Failure injection and interference ----

// The nth call (counted from 1, from now) of `function` fails with `error` without doing anything.
void FailCall(const std::string& function, int nth, DWORD error);
// Runs `change` on the machine just before the nth call (from now) of `function`, e.g. to add a
// printer between the two passes of an enumeration.
void BeforeCall(const std::string& function, int nth, std::function<void(Machine&)> change);

// ---- Observation ----

// One spooler or system call as it reached the simulation. Each argument is rendered as text:
// a number in decimal, a text argument quoted ("\"name\"", "\"\"" for an empty one), a null
// pointer as "NULL", any other non-null pointer as "ptr".
struct Call {
    std::string function;
    std::vector<std::string> args;
    // The fields of the record an input pointer points to, where that record decides what the call
    // does, rendered like args: OpenPrinterA's PRINTER_DEFAULTSA (pDatatype, pDevMode,
    // DesiredAccess), AdjustTokenPrivileges' NewState (PrivilegeCount, then LowPart and Attributes
    // of each entry), GetDefaultPrinterA's *pcchBuffer. Empty when the call has none or it is null.
    std::vector<std::string> record;
};
const std::vector<Call>& Calls();
std::vector<Call> CallsOf(const std::string& function);
void ClearCalls();

int OpenPrinterHandles();  // printer and server handles not yet closed
int OpenTokenHandles();    // token handles not yet closed
int LiveBlocks();          // GlobalAlloc blocks not yet freed
int MessagePumps();        // PeekMessageA calls: one per run of the message pump

// The message pump's dispatcher: the GUI runtime installs its own so that PeekMessageA dispatches
// the toolkit's waiting events. Without one the queue is always empty.
void SetMessageDispatcher(std::function<void()> dispatch);

}  // namespace sim
