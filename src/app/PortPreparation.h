#pragma once

// The port's register sequences belong to the hardware layer, which the
// command line shares.
#include "hardware/PortPreparation.h"
