#pragma once

#include "display/BusValues.h"

#include <vector>

class ProgramConfig;

// The buses as the program's own configuration keeps them: group "Busse",
// one value per bus, "Bus1" = "7,6,5,4;Name" (lines most significant first,
// then the name). Entries that do not read as a bus are left out.
std::vector<trazor::BusDef> ReadBuses(const ProgramConfig& config);
void WriteBuses(ProgramConfig& config, const std::vector<trazor::BusDef>& buses);
