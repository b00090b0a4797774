// The machine's naming rules: names compare case-insensitively, a connection is named
// \\server\printer, and a local printer may also be named through the local machine's name.
#pragma once

#include <string>
#include <string_view>

#include "platform/sim/sim.h"
#include "platform/sim/state.h"

namespace sim::detail {

bool SameName(std::string_view a, std::string_view b);

bool IsConnection(const Printer& printer);

// The local printer or connection `name` names, or null.
Printer* FindPrinter(Machine& machine, std::string_view name);

// True when `name` is the local machine, with or without its leading backslashes.
bool IsLocalMachine(const Machine& machine, std::string_view name);

// The default printer when it is set and still exists, else null.
Printer* DefaultPrinter(Machine& machine);

const PrintProcessor* FindProcessor(const Machine& machine, std::string_view name);

// The open printer or server handle behind `handle`, or null for a bad or closed one.
PrinterHandleEntry* FindPrinterHandle(State& state, HANDLE handle);

// Whether the printer's print processor takes `datatype`.
bool SupportsDatatype(const Machine& machine, const Printer& printer, std::string_view datatype);

// What the current user may open a printer, or the print server, with.
DWORD AllowedPrinterAccess(const Machine& machine, const Printer& printer);
DWORD AllowedServerAccess(const Machine& machine);

// A printer's device settings as the DEVMODEA a record points to.
void FillDevMode(DEVMODEA& devMode, const DevMode& settings, std::string_view deviceName);

// Ends the document open on a printer handle, if any: the job stops spooling and stays queued
// (see jobs.cpp for the status it is left with).
void EndDocument(State& state, PrinterHandleEntry& entry);

// Removes the local printer `name` if it is pending deletion and its queue is empty: a deleted
// printer goes once its last job has left.
void RemoveIfDrained(Machine& machine, const std::string& name);

// Gives every seeded job with id 0 the next free id and keeps nextJobId above every queued id.
void NumberJobs(Machine& machine);

// The current time in UTC, as the spooler stamps a job's submission.
SYSTEMTIME SystemTimeNow();

}  // namespace sim::detail
