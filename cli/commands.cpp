// tallowind-cli's dispatch and help: the workbook verbs (sheets, print) and the printer verbs
// (printers, printer, connection, default).
#include "cli/commands.h"

namespace cli {

const char* const kHelp =
    "Usage: tallowind-cli VERB ...\n"
    "\n"
    "Workbooks:\n"
    "  sheets FILE\n"
    "      Lists the sheets of the workbook FILE (.xls or .xlsx), one line each:\n"
    "      NUMBER<TAB>NAME, numbered from 1 in workbook order.\n"
    "  print FILE (--all | --sheets N[,N...]) [--printer NAME]\n"
    "      Prints every sheet (--all) or the sheets numbered N (from 1), each as one job\n"
    "      through the sheet's PrintOut on the default printer. With --printer, NAME is made\n"
    "      the default printer for this run and the previous default is put back at the end,\n"
    "      also when printing fails or the program is interrupted.\n"
    "\n"
    "Printers:\n"
    "  printers                      the installed printers and connections; * marks the default\n"
    "  printer show NAME             a printer's settings, attributes and status\n"
    "  printer set NAME [--comment T] [--location T] [--port P] [--separator FILE]\n"
    "                   [--share SHARENAME | --unshare] [--rename NEWNAME]\n"
    "                                changes settings (the rename comes last)\n"
    "  printer pause|resume|purge NAME\n"
    "  printer add NAME --port P --driver D [--processor PP]   (processor: winprint)\n"
    "  printer delete NAME\n"
    "  connection add|delete \\\\SERVER\\PRINTER\n"
    "  default [NAME]                shows the default printer, or makes NAME the default\n"
    "\n"
    "Queues:\n"
    "  jobs [PRINTER]                the first 99 jobs of a queue (the default printer's when\n"
    "                                left out); submission times in UTC+8\n"
    "  job pause|resume|delete|restart ID [--printer NAME]\n"
    "  print-raw [--printer NAME] [--name DOCUMENT] (--text T | FILE)\n"
    "                                sends the bytes unchanged as one raw document\n"
    "\n"
    "Ports, monitors, processors, drivers and forms:\n"
    "  ports | port add [--monitor M] | port delete PORT | port configure PORT\n"
    "  monitors | monitor add NAME --env E --dll D | monitor delete NAME [--env E]\n"
    "  processors | processor datatypes NAME | processor add PATH | processor delete NAME\n"
    "  drivers | driver show [PRINTER]\n"
    "  driver add NAME --path P --data D --config C | driver delete NAME [--all-files]\n"
    "  forms [PRINTER]               sizes in tenths of a millimetre\n"
    "  form show NAME [--printer P]  sizes in whole centimetres (fraction dropped)\n"
    "  form add NAME --width W --height H [--printer P]\n"
    "                                W and H in whole centimetres\n"
    "  form set NAME [--width W] [--height H] [--right R] [--bottom B] [--kind K]\n"
    "                [--name NEW] [--printer P]\n"
    "                                sizes in tenths of a millimetre; K is 用户定义, 内置 or "
    "打印机\n"
    "  form delete NAME [--printer P]\n"
    "\n"
    "Exit status: 0 success, 1 wrong usage, 2 the workbook cannot be opened,\n"
    "3 an operation failed.\n";

int Usage(std::ostream& err, const std::string& message) {
    err << "tallowind-cli: " << message << "\n\n" << kHelp;
    return kExitUsage;
}

int Failed(std::ostream& err, const std::string& message) {
    err << "tallowind-cli: " << message << "\n";
    return kExitFailed;
}

int Run(const Args& args, std::ostream& out, std::ostream& err) {
    if (args.empty()) {
        return Usage(err, "no command given");
    }
    const std::string& verb = args[0];
    if (verb == "--help" || verb == "-h" || verb == "help") {
        out << kHelp;
        return kExitOk;
    }
    if (verb == "sheets" || verb == "print") {
        return RunWorkbookVerb(args, out, err);
    }
    if (verb == "printers" || verb == "printer" || verb == "connection" || verb == "default") {
        return RunPrinterVerb(args, out, err);
    }
    if (verb == "jobs" || verb == "job" || verb == "print-raw") {
        return RunQueueVerb(args, out, err);
    }
    for (const char* catalog : {"ports", "port", "monitors", "monitor", "processors", "processor",
                                "drivers", "driver", "forms", "form"}) {
        if (verb == catalog) {
            return RunCatalogVerb(args, out, err);
        }
    }
    return Usage(err, "unknown command " + verb);
}

}  // namespace cli
