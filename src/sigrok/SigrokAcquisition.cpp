#include "sigrok/SigrokAcquisition.h"

#include "sigrok/SigrokContext.h"
#include "sigrok/SigrokDevice.h"
#include "sigrok/SigrokError.h"

#include <algorithm>
#include <exception>
#include <limits>

namespace sigrok {

namespace {

void Feed(const sr_dev_inst*, const sr_datafeed_packet* packet, void* data) {
    auto* acquisition = static_cast<Acquisition*>(data);
    if (packet->type == SR_DF_LOGIC) {
        const auto* logic = static_cast<const sr_datafeed_logic*>(packet->payload);
        acquisition->OnLogic(logic->data, logic->length, logic->unitsize);
    } else if (packet->type == SR_DF_TRIGGER) {
        acquisition->OnTrigger();
    }
}

int DeviceMatch(sampling::TriggerMatch match) {
    switch (match) {
    case sampling::TriggerMatch::Low:
        return SR_TRIGGER_ZERO;
    case sampling::TriggerMatch::High:
        return SR_TRIGGER_ONE;
    case sampling::TriggerMatch::Rising:
        return SR_TRIGGER_RISING;
    case sampling::TriggerMatch::Falling:
        return SR_TRIGGER_FALLING;
    case sampling::TriggerMatch::Edge:
        return SR_TRIGGER_EDGE;
    }
    return 0;
}

// The device's trigger serves when it offers every match the trigger uses.
// The demo's does not: in libsigrok 0.5.2 it ends the capture after the block
// it fired in (some 2,000 samples, whatever the limit), so the program's own
// trigger watches its samples instead.
bool DeviceTriggerServes(const OpenDevice& device, const sampling::Trigger& trigger) {
    if (std::string(device.Driver()->name) == "demo") return false;
    const std::vector<int> offered = device.TriggerMatches();
    for (const sampling::TriggerStage& stage : trigger.stages)
        for (const sampling::TriggerCondition& c : stage)
            if (std::find(offered.begin(), offered.end(), DeviceMatch(c.match)) == offered.end())
                return false;
    return true;
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
    // Waiting for the program's trigger, every sample counts; afterwards only
    // as many as the capture still takes.
    const bool waiting = watch_ && !watch_->Fired();
    const std::uint64_t count =
        waiting ? bytes / unitSize
                : std::min<std::uint64_t>(bytes / unitSize, request_.samples - have);
    std::vector<std::uint16_t> block(count);
    const auto* in = static_cast<const std::uint8_t*>(data);
    if (unitSize == 1) {
        for (std::uint64_t i = 0; i < count; ++i)
            block[i] = in[i] & mask_;
    } else {
        for (std::uint64_t i = 0; i < count; ++i, in += unitSize)
            block[i] = static_cast<std::uint16_t>((in[0] | (in[1] << 8)) & mask_);
    }
    if (waiting) {
        std::vector<std::uint16_t> captured;
        watch_->Feed(block.data(), block.size(), captured);
        if (!watch_->Fired()) return;
        // The capture holds its whole pre-trigger share when the trigger fires.
        outcome_.triggerAt = request_.samples * std::uint64_t(request_.preTriggerPercent) / 100;
        if (captured.size() > request_.samples) captured.resize(std::size_t(request_.samples));
        block = std::move(captured);
    }
    Hand(std::move(block));
}

void Acquisition::Hand(std::vector<std::uint16_t> block) {
    const std::uint64_t have = received_.load(std::memory_order_relaxed);
    const std::uint64_t count = block.size();
    {
        const std::lock_guard lock(mutex_);
        blocks_.push_back(std::move(block));
    }
    arrived_.notify_all();
    received_.store(have + count, std::memory_order_relaxed);
    // A device that sends more than its limit (or has none) is stopped here.
    if (have + count >= request_.samples) StopSession();
}

void Acquisition::OnTrigger() {
    // Only the first: a driver may mark later frames too.
    if (!watch_ && !outcome_.triggerAt) outcome_.triggerAt = received_.load();
}

void Acquisition::SetUpTrigger(OpenDevice& device, sr_session* session) {
    const sampling::Trigger& trigger = request_.trigger;
    if (trigger.Empty()) return;
    if (!DeviceTriggerServes(device, trigger)) {
        const std::uint64_t before =
            request_.samples * std::uint64_t(request_.preTriggerPercent) / 100;
        watch_ = std::make_unique<sampling::TriggerWatch>(trigger, std::size_t(before));
        // The device runs until the program has its samples after the trigger
        // (a limit far beyond any capture: the stop comes from here).
        device.SetSampleLimit(std::numeric_limits<std::uint64_t>::max() / 2);
        return;
    }
    const std::vector<sr_channel*> channels = device.LogicChannelList();
    trigger_ = {sr_trigger_new(nullptr), &sr_trigger_free};
    for (const sampling::TriggerStage& conditions : trigger.stages) {
        sr_trigger_stage* stage = sr_trigger_stage_add(trigger_.get());
        for (const sampling::TriggerCondition& c : conditions) {
            if (std::size_t(c.line) >= channels.size())
                throw Error("Das Gerät " + device.Name() + " hat keinen Kanal D" +
                            std::to_string(c.line) + " für den Trigger.");
            sr_trigger_match_add(stage, channels[std::size_t(c.line)], DeviceMatch(c.match), 0);
        }
    }
    if (sr_session_trigger_set(session, trigger_.get()) != SR_OK)
        throw Error("Das Gerät " + device.Name() + " nimmt den Trigger nicht an.");
    // Without the setting the device keeps its own share before the trigger.
    device.SetCaptureRatio(request_.preTriggerPercent);
    outcome_.deviceTrigger = true;
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
        mask_ = static_cast<std::uint16_t>(((1u << outcome_.lines) - 1) & request_.lines);
        if (!mask_) throw Error("Für die Aufnahme ist keiner der Kanäle des Geräts gewählt.");
        // Lines not chosen are masked here. The device switches off only a
        // whole byte of them: that halves the data an 8-bit-wide analyzer
        // sends, and a device that packs the channels it keeps (the demo does)
        // cannot move a chosen line to another bit.
        device.EnableLines(mask_ & 0xFF00 ? 0xFFFF : 0x00FF);
        device.SetSampleLimit(request_.samples);
        // The request's own settings come last, so that they win (a time limit
        // the demo is given stays, though a sample limit clears it there).
        device.ApplySettings(request_.device);

        sr_session* raw = nullptr;
        if (sr_session_new(context.Raw(), &raw) != SR_OK)
            throw Error("libsigrok kann keine Aufnahme beginnen.");
        const SessionPtr session(raw);
        sr_session_dev_add(session.get(), device.Raw());
        SetUpTrigger(device, session.get());
        sr_session_datafeed_callback_add(session.get(), &Feed, this);
        context.ClearLog();
        if (!stopRequested_ && request_.samples > 0) {
            if (const int rc = sr_session_start(session.get()); rc != SR_OK)
                throw Error(
                    "Die Aufnahme vom Gerät " + device.Name() + " startet nicht (" +
                    (context.LastMessage().empty() ? ErrorCodeText(rc) : context.LastMessage()) +
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
