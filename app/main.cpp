// The window program's entry point; it reads no command line.
#include "app/program.h"

int main() {
    return RunProgram();
}
