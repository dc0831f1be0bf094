#pragma once

// Reading a sample belongs to the hardware layer, which the command line shares.
#include "hardware/PortSample.h"
