#pragma once

#include "Report.h"

#include <memory>
#include <string>

// The two ends the board session talks through: a connector that opens a board
// by card address, and the opened board's report pipe. The library uses the
// libusb implementation; tests put a fake behind the same interface.
namespace k8055 {

enum class TransferStatus {
    Ok,
    Timeout,
    Gone,   // the board was unplugged; no later transfer can succeed
    Failed, // any other error
};

class Transport {
  public:
    virtual ~Transport() = default;
    // Sends one report, within the transport's timeout.
    virtual TransferStatus Write(const Report& report) = 0;
    // Receives one report into `report`; `received` is how many bytes came.
    virtual TransferStatus Read(Report& report, int& received) = 0;
};

class Connector {
  public:
    virtual ~Connector() = default;
    // The board at cardAddress (0..3), opened and claimed, or null with the
    // reason in `error` (empty when simply no such board is plugged in).
    virtual std::unique_ptr<Transport> Open(int cardAddress, std::string& error) = 0;
};

} // namespace k8055
