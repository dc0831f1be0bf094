#include "BoardSession.h"

#include <algorithm>
#include <utility>

namespace k8055 {

namespace {
// A read that times out, comes short or carries another card's status is
// tried again a few times before the call gives up.
constexpr int ReadAttempts = 3;

bool ValidChannel(long channel, long count) {
    return channel >= 1 && channel <= count;
}

std::uint8_t Level(long value) {
    return static_cast<std::uint8_t>(std::clamp(value, 0L, 255L));
}

std::uint8_t& AnalogOf(Outputs& outputs, long channel) {
    return channel == 1 ? outputs.analog1 : outputs.analog2;
}
} // namespace

BoardSession::BoardSession(std::unique_ptr<Connector> connector)
    : connector_(std::move(connector)) {}

BoardSession::~BoardSession() = default;

BoardSession::Board* BoardSession::Current() {
    if (current_ < 0 || !boards_[current_]) return nullptr;
    return &*boards_[current_];
}

std::optional<Outputs> BoardSession::CurrentOutputs() const {
    if (current_ < 0 || !boards_[current_]) return std::nullopt;
    return boards_[current_]->outputs;
}

long BoardSession::Fail(std::string reason) {
    lastError_ = std::move(reason);
    return -1;
}

long BoardSession::Send(Board& board, Command command) {
    if (board.gone) return Fail("die Karte wurde abgezogen; bitte neu öffnen");
    switch (board.transport->Write(BuildReport(command, board.outputs))) {
    case TransferStatus::Ok:
        lastError_.clear();
        return 0;
    case TransferStatus::Gone:
        board.gone = true;
        return Fail("die Karte wurde abgezogen");
    case TransferStatus::Timeout:
        return Fail("die Karte hat den Bericht nicht rechtzeitig angenommen");
    case TransferStatus::Failed:
        break;
    }
    return Fail("das Senden an die Karte ist misslungen");
}

std::optional<InputState> BoardSession::Receive(Board& board) {
    if (board.gone) {
        Fail("die Karte wurde abgezogen; bitte neu öffnen");
        return std::nullopt;
    }
    for (int attempt = 0; attempt < ReadAttempts; ++attempt) {
        Report report{};
        int received = 0;
        const TransferStatus status = board.transport->Read(report, received);
        if (status == TransferStatus::Gone) {
            board.gone = true;
            Fail("die Karte wurde abgezogen");
            return std::nullopt;
        }
        if (status != TransferStatus::Ok) continue;
        if (auto state = ParseInputReport(report, received, board.address)) {
            lastError_.clear();
            return state;
        }
    }
    Fail("die Karte hat keinen gültigen Bericht geschickt");
    return std::nullopt;
}

long BoardSession::OpenDevice(long cardAddress) {
    openProblem_.clear();
    if (cardAddress < 0 || cardAddress >= CardCount)
        return Fail("Kartenadresse außerhalb von 0..3");
    const int card = static_cast<int>(cardAddress);
    if (boards_[card] && !boards_[card]->gone) {
        current_ = card;
        lastError_.clear();
        return card;
    }
    // An unplugged board's handle is useless; drop it before opening afresh.
    boards_[card].reset();
    if (current_ == card) current_ = -1;

    std::string error;
    std::unique_ptr<Transport> transport = connector_->Open(card, error);
    if (!transport) {
        openProblem_ = error;
        return Fail(error.empty() ? "keine Karte mit dieser Kartenadresse" : error);
    }
    Board board{card, std::move(transport), Outputs{}, false};
    // The board starts from a reset, which its first report confirms.
    if (Send(board, Command::Reset) != 0 || !Receive(board)) {
        openProblem_ = "die Karte hat auf das Zurücksetzen nicht geantwortet: " + lastError_;
        return -1;
    }
    boards_[card] = std::move(board);
    current_ = card;
    return card;
}

long BoardSession::CloseDevice() {
    if (!Current()) return Fail("keine Karte ist geöffnet");
    boards_[current_].reset();
    current_ = -1;
    lastError_.clear();
    return 0;
}

template <class Change> long BoardSession::ChangeOutputs(Change change) {
    Board* board = Current();
    if (!board) return Fail("keine Karte ist geöffnet");
    change(board->outputs);
    return Send(*board, Command::SetOutputs);
}

template <class Pick> long BoardSession::ReadValue(Pick pick) {
    Board* board = Current();
    if (!board) return Fail("keine Karte ist geöffnet");
    const std::optional<InputState> state = Receive(*board);
    if (!state) return -1;
    return pick(*state);
}

long BoardSession::ReadAnalogChannel(long channel) {
    if (!ValidChannel(channel, 2)) return Fail("Analogkanal außerhalb von 1..2");
    return ReadValue(
        [channel](const InputState& s) -> long { return channel == 1 ? s.analog1 : s.analog2; });
}

long BoardSession::ReadAllAnalog(long* data1, long* data2) {
    if (!data1 || !data2) return Fail("kein Platz für die Analogwerte");
    Board* board = Current();
    if (!board) return Fail("keine Karte ist geöffnet");
    const std::optional<InputState> state = Receive(*board);
    if (!state) return -1;
    *data1 = state->analog1;
    *data2 = state->analog2;
    return 0;
}

long BoardSession::OutputAnalogChannel(long channel, long value) {
    if (!ValidChannel(channel, 2)) return Fail("Analogkanal außerhalb von 1..2");
    return ChangeOutputs([&](Outputs& o) { AnalogOf(o, channel) = Level(value); });
}

long BoardSession::OutputAllAnalog(long value1, long value2) {
    return ChangeOutputs([&](Outputs& o) {
        o.analog1 = Level(value1);
        o.analog2 = Level(value2);
    });
}

long BoardSession::ClearAnalogChannel(long channel) {
    return OutputAnalogChannel(channel, 0);
}

long BoardSession::ClearAllAnalog() {
    return OutputAllAnalog(0, 0);
}

long BoardSession::SetAnalogChannel(long channel) {
    return OutputAnalogChannel(channel, 255);
}

long BoardSession::SetAllAnalog() {
    return OutputAllAnalog(255, 255);
}

long BoardSession::WriteAllDigital(long value) {
    // A bit pattern: the low eight bits are outputs 1..8.
    return ChangeOutputs([&](Outputs& o) { o.digital = static_cast<std::uint8_t>(value & 0xFF); });
}

long BoardSession::ClearDigitalChannel(long channel) {
    if (!ValidChannel(channel, 8)) return Fail("Digitalausgang außerhalb von 1..8");
    return ChangeOutputs([&](Outputs& o) {
        o.digital = static_cast<std::uint8_t>(o.digital & ~(1u << (channel - 1)));
    });
}

long BoardSession::ClearAllDigital() {
    return WriteAllDigital(0);
}

long BoardSession::SetDigitalChannel(long channel) {
    if (!ValidChannel(channel, 8)) return Fail("Digitalausgang außerhalb von 1..8");
    return ChangeOutputs([&](Outputs& o) {
        o.digital = static_cast<std::uint8_t>(o.digital | (1u << (channel - 1)));
    });
}

long BoardSession::SetAllDigital() {
    return WriteAllDigital(0xFF);
}

long BoardSession::ReadDigitalChannel(long channel) {
    if (!ValidChannel(channel, 5)) return Fail("Digitaleingang außerhalb von 1..5");
    return ReadValue(
        [channel](const InputState& s) -> long { return (s.digital >> (channel - 1)) & 1; });
}

long BoardSession::ReadAllDigital() {
    return ReadValue([](const InputState& s) -> long { return s.digital; });
}

long BoardSession::ReadCounter(long counter) {
    if (!ValidChannel(counter, 2)) return Fail("Zähler außerhalb von 1..2");
    return ReadValue(
        [counter](const InputState& s) -> long { return counter == 1 ? s.counter1 : s.counter2; });
}

long BoardSession::ResetCounter(long counter) {
    if (!ValidChannel(counter, 2)) return Fail("Zähler außerhalb von 1..2");
    Board* board = Current();
    if (!board) return Fail("keine Karte ist geöffnet");
    return Send(*board, counter == 1 ? Command::ResetCounter1 : Command::ResetCounter2);
}

long BoardSession::SetCounterDebounceTime(long counter, long milliseconds) {
    if (!ValidChannel(counter, 2)) return Fail("Zähler außerhalb von 1..2");
    Board* board = Current();
    if (!board) return Fail("keine Karte ist geöffnet");
    (counter == 1 ? board->outputs.debounce1 : board->outputs.debounce2) =
        DebounceByte(milliseconds);
    return Send(*board, counter == 1 ? Command::SetDebounce1 : Command::SetDebounce2);
}

} // namespace k8055
