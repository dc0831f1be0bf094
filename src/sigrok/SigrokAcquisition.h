#pragma once

#include "sampling/TimeBase.h"
#include "sampling/Trigger.h"
#include "sigrok/DeviceSpec.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

struct sr_session;
struct sr_trigger;

namespace sigrok {

class Context;
class OpenDevice;

struct AcquisitionRequest {
    DeviceSpec device;
    std::uint64_t rateHz = 0; // 0: the device's own rate
    std::uint64_t samples = 0;
    // The lines to record (bit n: line n); the device leaves the others off,
    // and they stay low.
    std::uint16_t lines = 0xFFFF;
    // Empty: the samples from the start. Otherwise the capture holds
    // `preTriggerPercent` of its samples before the trigger point.
    sampling::Trigger trigger{};
    int preTriggerPercent = 0;
};

// How an acquisition ended. The samples that arrived are kept in every case.
struct AcquisitionOutcome {
    sampling::TimeBase timeBase = sampling::TimeBase::Nominal();
    int lines = 0;                  // logic lines the device has, at most 16
    std::vector<std::string> names; // the device's names of those lines ("D0"), when known
    std::uint64_t received = 0;     // samples handed over
    bool stoppedEarly = false;      // Stop() ended it
    // Where the trigger fired, as the index of that sample among those handed
    // over; nullopt without a trigger or when it never fired.
    std::optional<std::uint64_t> triggerAt;
    // The device's own trigger (a driver's hardware or libsigrok's software
    // trigger) rather than the program's.
    bool deviceTrigger = false;
    std::string error; // German, empty when the device delivered all
};

// Records from a libsigrok device on a thread of its own. Samples come in
// blocks of 16-bit words (line n in bit n; the first 16 logic channels, the
// lines a smaller device lacks stay low) which the owner takes on its own
// thread; the acquisition thread touches nothing else.
//
//   Acquisition run(context, {spec, 1'000'000, 100'000});
//   while (run.WaitForBlocks(timeout)) { run.TakeBlocks(into); ... }
//   run.TakeBlocks(into);  const AcquisitionOutcome& o = run.Outcome();
//
// The context must outlive the acquisition and serve no other thread meanwhile.
class Acquisition {
  public:
    Acquisition(Context& context, AcquisitionRequest request);
    // Stops the device and waits for the thread.
    ~Acquisition();
    Acquisition(const Acquisition&) = delete;
    Acquisition& operator=(const Acquisition&) = delete;

    // Ends the recording soon; what arrived so far stays. Any thread.
    void Stop();
    // Appends the blocks that arrived since the last call; returns the
    // number of samples appended.
    std::size_t TakeBlocks(std::vector<std::uint16_t>& into);
    // Moves out the waiting blocks as they are, without copying.
    std::vector<std::vector<std::uint16_t>> TakeBlockList();
    bool Finished() const { return finished_.load(std::memory_order_acquire); }
    // Waits until blocks are waiting to be taken, the acquisition has
    // finished, or the timeout has passed, whichever comes first; answers
    // false once it has finished and every block has been taken.
    bool WaitForBlocks(std::chrono::milliseconds timeout);
    // Blocks until the thread has ended.
    void Wait();
    // The rate the device records at: known once the device is set up (0 before).
    std::uint64_t RateHz() const { return rateHz_.load(std::memory_order_acquire); }
    // Samples received so far (any thread).
    std::uint64_t Received() const { return received_.load(std::memory_order_relaxed); }
    // Valid once Finished().
    const AcquisitionOutcome& Outcome() const { return outcome_; }

    // Called on the acquisition thread.
    void Run(Context& context);
    void OnLogic(const void* data, std::uint64_t bytes, unsigned unitSize);
    void OnTrigger();

  private:
    void StopSession();
    void Hand(std::vector<std::uint16_t> block);
    void SetUpTrigger(OpenDevice& device, sr_session* session);

    AcquisitionRequest request_;
    AcquisitionOutcome outcome_;
    std::uint16_t mask_ = 0xFFFF;
    // The program's trigger, where the device has none that serves.
    std::unique_ptr<sampling::TriggerWatch> watch_;
    // The device's trigger, freed after the session that used it.
    std::unique_ptr<sr_trigger, void (*)(sr_trigger*)> trigger_{nullptr, nullptr};

    std::mutex mutex_;                // guards blocks_ and session_
    std::condition_variable arrived_; // a block came, or the thread finished
    std::vector<std::vector<std::uint16_t>> blocks_;
    void* session_ = nullptr;
    std::atomic<bool> stopRequested_{false};
    std::atomic<bool> finished_{false};
    std::atomic<std::uint64_t> rateHz_{0};
    std::atomic<std::uint64_t> received_{0};
    std::thread thread_;
};

} // namespace sigrok
