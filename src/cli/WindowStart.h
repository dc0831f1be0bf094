#pragma once

#include <ostream>

namespace cli {

// Goes on as the window's program with the same arguments (argv as main got
// it). Returns only when that program cannot be started, with the exit status
// after the message on err.
int StartWindow(char** argv, std::ostream& err);

} // namespace cli
