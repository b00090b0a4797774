// tallowind-cli: the companion command-line program. It drives the same Excel components and
// spooler as the window, and, unlike the window, reports failures: a message on stderr and a
// nonzero exit (1 wrong usage, 2 a workbook that cannot be opened, 3 a failed print or printer).
#include <iostream>
#include <string>
#include <vector>

#include "cli/commands.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    return cli::Run(args, std::cout, std::cerr);
}
