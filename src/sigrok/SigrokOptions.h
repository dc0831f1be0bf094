#pragma once

// Options for libsigrok's input and output modules. Private to src/sigrok/.

#include "sigrok/SigrokHandles.h"

#include <string>
#include <utility>
#include <vector>

namespace sigrok {

using OptionValues = std::vector<std::pair<std::string, std::string>>;

// A module's option table filled from text values, each converted to the type
// of the option's default (as libsigrok checks it). Unknown names raise Error.
HashTablePtr InputOptions(const sr_input_module* module, const OptionValues& values);
HashTablePtr OutputOptions(const sr_output_module* module, const OptionValues& values);

} // namespace sigrok
