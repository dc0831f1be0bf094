#include "cli/CommandLine.h"
#include "cli/WindowStart.h"

#include <iostream>

// The commands' program. The program a user starts hands it every command;
// started without one, it goes on as the window's program like that one.
int main(int argc, char** argv) {
    const cli::Decision decision = cli::ReadCommandLine(
        std::vector<std::string>(argv + 1, argv + argc), {std::cout, std::cerr});
    if (decision.exitCode) return *decision.exitCode;
    return cli::StartWindow(argv, std::cerr);
}
