#pragma once

#include "cli/Commands.h"

namespace cli {

// spurwerk decode INPUT -P DECODER[:name=value...][,DECODER...] [-P ...] [-A DECODER[=ROW]]
int RunDecode(const std::vector<std::string>& args, Streams io);

} // namespace cli
