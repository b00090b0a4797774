// The printer list and the default printer on machines of growing size: the two-pass enumeration
// and its record copying dominate, so the time should grow linearly with the number of printers.
#include <benchmark/benchmark.h>

#include <string>

#include "platform/sim/sim.h"
#include "printing/printer_manager.h"

namespace {

void InstallPrinters(int count) {
    sim::MachineBuilder builder;
    for (int i = 0; i < count; ++i) {
        builder.AddPrinter("Printer " + std::to_string(i));
    }
    builder.Default("Printer 0");
    sim::Install(builder.Build());
}

void BM_ListPrinters(benchmark::State& state) {
    InstallPrinters(static_cast<int>(state.range(0)));
    const PrinterManager manager;
    TextList names;
    TextList descriptions;
    for (auto _ : state) {
        benchmark::DoNotOptimize(manager.ListPrinters(names, descriptions));
        sim::ClearCalls();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ListPrinters)->Arg(4)->Arg(64)->Arg(1024);

void BM_GetDefaultPrinter(benchmark::State& state) {
    InstallPrinters(8);
    const PrinterManager manager;
    for (auto _ : state) {
        benchmark::DoNotOptimize(manager.GetDefaultPrinter());
        sim::ClearCalls();
    }
}
BENCHMARK(BM_GetDefaultPrinter);

}  // namespace
