#pragma once

#include "cli/Commands.h"

namespace cli {

// spurwerk convert INPUT OUTPUT
int RunConvert(const std::vector<std::string>& args, Streams io);

} // namespace cli
