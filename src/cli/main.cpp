#include "cli/CommandLine.h"
#include "cli/WindowStart.h"

#include <iostream>

// The program a user starts. Help, version and the commands run here, with
// none of the window's libraries loaded; without a command the window's
// program takes over in this process.
int main(int argc, char** argv) {
    const cli::Decision decision = cli::ReadCommandLine(
        std::vector<std::string>(argv + 1, argv + argc), {std::cout, std::cerr});
    if (decision.exitCode) return *decision.exitCode;
    return cli::StartWindow(argv, std::cerr);
}
