#pragma once

#include <string>

// The manual page spurwerk(1) in roff, made from the same tables as
// `spurwerk --help` and `spurwerk COMMAND --help`.
namespace usage {
std::string ManPage();
}
