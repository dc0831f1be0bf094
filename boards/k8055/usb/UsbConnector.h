#pragma once

#include "Transport.h"

#include <memory>

namespace k8055 {

// Opens K8055 boards through libusb-1.0: finds vendor 10cf, product
// 5500 + card address, takes interface 0 from the kernel driver that holds it
// and gives it back when the transport is destroyed. libusb starts on the
// first open, so loading the library touches no USB at all.
std::unique_ptr<Connector> MakeUsbConnector();

} // namespace k8055
