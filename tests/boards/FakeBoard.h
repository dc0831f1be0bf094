#pragma once

#include "Report.h"
#include "Transport.h"

#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace k8055test {

// One scripted answer to a read: a status, the bytes and how many came.
struct ReadAnswer {
    k8055::TransferStatus status = k8055::TransferStatus::Ok;
    k8055::Report report{};
    int received = k8055::ReportSize;
};

// A board behind the fake connector. The test owns it and reads back every
// report the session wrote; reads answer from the script first, then with the
// board's standing report.
struct FakeBoard {
    explicit FakeBoard(int address) { standing[1] = static_cast<std::uint8_t>(address + 1); }

    std::vector<k8055::Report> written;
    std::deque<ReadAnswer> reads;
    k8055::Report standing{};
    k8055::TransferStatus writeStatus = k8055::TransferStatus::Ok;
    int readCalls = 0;
    int opens = 0;
    bool open = false;
};

class FakeTransport : public k8055::Transport {
  public:
    explicit FakeTransport(FakeBoard& board) : board_(board) { board_.open = true; }
    ~FakeTransport() override { board_.open = false; }

    k8055::TransferStatus Write(const k8055::Report& report) override {
        board_.written.push_back(report);
        return board_.writeStatus;
    }
    k8055::TransferStatus Read(k8055::Report& report, int& received) override {
        ++board_.readCalls;
        if (board_.reads.empty()) {
            report = board_.standing;
            received = k8055::ReportSize;
            return k8055::TransferStatus::Ok;
        }
        const ReadAnswer answer = board_.reads.front();
        board_.reads.pop_front();
        report = answer.report;
        received = answer.received;
        return answer.status;
    }

  private:
    FakeBoard& board_;
};

// Opens the boards a test plugged in; refuses the others with `refusal`.
class FakeConnector : public k8055::Connector {
  public:
    explicit FakeConnector(std::map<int, FakeBoard*> boards, std::string refusal = {})
        : boards_(std::move(boards)), refusal_(std::move(refusal)) {}

    std::unique_ptr<k8055::Transport> Open(int cardAddress, std::string& error) override {
        const auto it = boards_.find(cardAddress);
        if (it == boards_.end() || !refusal_.empty()) {
            error = refusal_;
            return nullptr;
        }
        ++it->second->opens;
        return std::make_unique<FakeTransport>(*it->second);
    }

  private:
    std::map<int, FakeBoard*> boards_;
    std::string refusal_;
};

} // namespace k8055test
