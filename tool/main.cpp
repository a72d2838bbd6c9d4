#include "report/run_report.h"
#include "text/command_line.h"

// main reads the process's own command line rather than the argument vector
// the start-up passes, so quoting is handled the same way on every platform.
int main() {
    kwCore::CommandLine commandLine;
    return zemtra::runReport(commandLine);
}
