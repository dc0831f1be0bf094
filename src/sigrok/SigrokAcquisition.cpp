#include "sigrok/SigrokAcquisition.h"

#include "sigrok/SigrokContext.h"
#include "sigrok/SigrokDevice.h"
#include "sigrok/SigrokError.h"

#include <algorithm>
#include <exception>

namespace sigrok {

namespace {

void Feed(const sr_dev_inst*, const sr_datafeed_packet* packet, void* data) {
    auto* acquisition = static_cast<Acquisition*>(data);
    if (packet->type == SR_DF_LOGIC) {
        const auto* logic = static_cast<const sr_datafeed_logic*>(packet->payload);
        acquisition->OnLogic(logic->data, logic->length, logic->unitsize);
    }
}

} // namespace

Acquisition::Acquisition(Context& context, AcquisitionRequest request)
    : request_(std::move(request)), thread_([this, &context] { Run(context); }) {}

Acquisition::~Acquisition() {
    Stop();
    Wait();
}

void Acquisition::Wait() {
    if (thread_.joinable()) thread_.join();
}

void Acquisition::Stop() {
    stopRequested_ = true;
    StopSession();
}

void Acquisition::StopSession() {
    const std::lock_guard lock(mutex_);
    // libsigrok stops a running session from any thread through its main context.
    if (session_) sr_session_stop(static_cast<sr_session*>(session_));
}

std::size_t Acquisition::TakeBlocks(std::vector<std::uint16_t>& into) {
    std::size_t taken = 0;
    for (const std::vector<std::uint16_t>& block : TakeBlockList()) {
        into.insert(into.end(), block.begin(), block.end());
        taken += block.size();
    }
    return taken;
}

bool Acquisition::WaitForBlocks(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    arrived_.wait_for(lock, timeout, [this] { return !blocks_.empty() || Finished(); });
    return !(blocks_.empty() && Finished());
}

std::vector<std::vector<std::uint16_t>> Acquisition::TakeBlockList() {
    const std::lock_guard lock(mutex_);
    return std::exchange(blocks_, {});
}

void Acquisition::OnLogic(const void* data, std::uint64_t bytes, unsigned unitSize) {
    const std::uint64_t have = received_.load(std::memory_order_relaxed);
    if (unitSize == 0 || have >= request_.samples) return;
    const std::uint64_t count = std::min<std::uint64_t>(bytes / unitSize, request_.samples - have);
    std::vector<std::uint16_t> block(count);
    const auto* in = static_cast<const std::uint8_t*>(data);
    if (unitSize == 1) {
        for (std::uint64_t i = 0; i < count; ++i)
            block[i] = in[i] & mask_;
    } else {
        for (std::uint64_t i = 0; i < count; ++i, in += unitSize)
            block[i] = static_cast<std::uint16_t>((in[0] | (in[1] << 8)) & mask_);
    }
    {
        const std::lock_guard lock(mutex_);
        blocks_.push_back(std::move(block));
    }
    arrived_.notify_all();
    received_.store(have + count, std::memory_order_relaxed);
    // A device that sends more than its limit (or has none) is stopped here.
    if (have + count >= request_.samples) StopSession();
}

void Acquisition::Run(Context& context) {
    try {
        // The session runs on this thread's own GLib main context.
        const PrivateMainContext mainContext;
        OpenDevice device(context, request_.device);
        if (request_.rateHz) device.SetRate(request_.rateHz);
        const std::uint64_t rate = request_.rateHz ? request_.rateHz : device.CurrentRate();
        if (rate) {
            outcome_.timeBase = sampling::TimeBase::Exact(sampling::SamplePeriod::FromRateHz(rate));
            rateHz_.store(rate, std::memory_order_release);
        }
        outcome_.lines = std::min(device.LogicChannels(), 16);
        outcome_.names = device.LogicChannelNames();
        if (outcome_.names.size() > std::size_t(outcome_.lines))
            outcome_.names.resize(std::size_t(outcome_.lines));
        mask_ = static_cast<std::uint16_t>((1u << outcome_.lines) - 1);
        device.SetSampleLimit(request_.samples);
        // The request's own settings come last, so that they win (a time limit
        // the demo is given stays, though a sample limit clears it there).
        device.ApplySettings(request_.device);

        sr_session* raw = nullptr;
        if (sr_session_new(context.Raw(), &raw) != SR_OK)
            throw Error("libsigrok kann keine Aufnahme beginnen.");
        const SessionPtr session(raw);
        sr_session_dev_add(session.get(), device.Raw());
        sr_session_datafeed_callback_add(session.get(), &Feed, this);
        context.ClearLog();
        if (!stopRequested_ && request_.samples > 0) {
            if (const int rc = sr_session_start(session.get()); rc != SR_OK)
                throw Error("Die Aufnahme vom Gerät " + device.Name() + " startet nicht (" +
                            (context.LastMessage().empty() ? ErrorCodeText(rc)
                                                           : context.LastMessage()) +
                            ").");
            {
                const std::lock_guard lock(mutex_);
                session_ = session.get();
            }
            // A stop asked for before the session could hear it.
            if (stopRequested_) sr_session_stop(session.get());
            const int rc = sr_session_run(session.get());
            {
                const std::lock_guard lock(mutex_);
                session_ = nullptr;
            }
            const std::uint64_t got = received_.load();
            outcome_.stoppedEarly = stopRequested_ && got < request_.samples;
            if (got < request_.samples && !outcome_.stoppedEarly) {
                std::string why = context.LastMessage();
                if (why.empty() && rc != SR_OK) why = ErrorCodeText(rc);
                outcome_.error = "Das Gerät " + device.Name() + " hat nur " + std::to_string(got) +
                                 " von " + std::to_string(request_.samples) +
                                 " Abtastwerten geliefert" + (why.empty() ? "" : " (" + why + ")") +
                                 "; die empfangenen bleiben erhalten.";
            }
        } else {
            outcome_.stoppedEarly = stopRequested_.load();
        }
    } catch (const std::exception& e) {
        outcome_.error = e.what();
    } catch (...) {
        outcome_.error = "Unbekannter Fehler bei der Aufnahme.";
    }
    outcome_.received = received_.load();
    {
        // Under the lock, so that a waiter cannot miss the end between its
        // check and its wait.
        const std::lock_guard lock(mutex_);
        finished_.store(true, std::memory_order_release);
    }
    arrived_.notify_all();
}

} // namespace sigrok
