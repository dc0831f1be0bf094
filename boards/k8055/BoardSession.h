#pragma once

#include "Report.h"
#include "Transport.h"

#include <array>
#include <memory>
#include <optional>
#include <string>

namespace k8055 {

// The twenty operations of the board library over a connector. Up to four
// boards may be open at once; the one opened last is current and every other
// call acts on it. Results follow the board library's convention: 0 or the
// value read on success, -1 on any failure (bad argument, no current board,
// a transfer that failed or timed out). Channels and counters count from 1.
class BoardSession {
  public:
    explicit BoardSession(std::unique_ptr<Connector> connector);
    ~BoardSession();
    BoardSession(const BoardSession&) = delete;
    BoardSession& operator=(const BoardSession&) = delete;

    // The card address on success, -1 when the board is absent or cannot be
    // opened. Opening an open board only makes it current; a board that was
    // unplugged is opened afresh.
    long OpenDevice(long cardAddress);
    // Closes the current board, which hands it back to the kernel's driver.
    long CloseDevice();

    long ReadAnalogChannel(long channel);
    long ReadAllAnalog(long* data1, long* data2);
    long OutputAnalogChannel(long channel, long value);
    long OutputAllAnalog(long value1, long value2);
    long ClearAnalogChannel(long channel);
    long ClearAllAnalog();
    long SetAnalogChannel(long channel);
    long SetAllAnalog();
    long WriteAllDigital(long value);
    long ClearDigitalChannel(long channel);
    long ClearAllDigital();
    long SetDigitalChannel(long channel);
    long SetAllDigital();
    long ReadDigitalChannel(long channel);
    long ReadAllDigital();
    long ReadCounter(long counter);
    long ResetCounter(long counter);
    long SetCounterDebounceTime(long counter, long milliseconds);

    // Why the last failing call failed, for diagnostics; empty after success.
    const std::string& LastError() const { return lastError_; }
    // Why the last OpenDevice could not open a board that is plugged in
    // (permissions, another program, no answer); empty when it succeeded or
    // no board was there.
    const std::string& OpenProblem() const { return openProblem_; }
    // The outputs the host last sent to the current board.
    std::optional<Outputs> CurrentOutputs() const;

  private:
    struct Board {
        int address = 0;
        std::unique_ptr<Transport> transport;
        Outputs outputs;
        bool gone = false;
    };

    Board* Current();
    long Fail(std::string reason);
    long Send(Board& board, Command command);
    std::optional<InputState> Receive(Board& board);
    // Applies `change` to the current board's outputs and sends them.
    template <class Change> long ChangeOutputs(Change change);
    template <class Pick> long ReadValue(Pick pick);

    std::unique_ptr<Connector> connector_;
    std::array<std::optional<Board>, CardCount> boards_;
    int current_ = -1;
    std::string lastError_;
    std::string openProblem_;
};

} // namespace k8055
