#pragma once

#include "cli/Commands.h"

namespace cli {

// spurwerk record --source SOURCE --samples N [--samplerate RATE] -o OUTPUT [--simulate]
int RunRecord(const std::vector<std::string>& args, Streams io);

} // namespace cli
