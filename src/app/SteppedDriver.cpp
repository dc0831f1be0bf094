#include "SteppedDriver.h"

#include <chrono>
#include <stdexcept>
#include <utility>

namespace {
// Often enough that a fast device's blocks never pile up between two ticks.
constexpr std::chrono::milliseconds kTickEvery{2};
// A tick takes rounds while samples are waiting, for at most this long, so
// that the window stays responsive even while a fast device floods it.
constexpr std::chrono::milliseconds kTickBudget{6};
} // namespace

SteppedDriver::SteppedDriver(Guard guard, QObject* parent)
    : QObject(parent), guard_(std::move(guard)) {
    timer_.setInterval(kTickEvery);
    connect(&timer_, &QTimer::timeout, this, [this] { guard_([this] { tick(); }); });
}

SteppedDriver::~SteppedDriver() {
    Abandon();
}

void SteppedDriver::Start(std::unique_ptr<acquire::SteppedRun> run, acquire::SampleSink& sink,
                          Hooks hooks) {
    // A second run would fill a sink the first one still writes.
    if (run_) throw std::logic_error("Es läuft schon eine Aufnahme.");
    run_ = std::move(run);
    sink_ = &sink;
    hooks_ = std::move(hooks);
    timer_.start();
}

void SteppedDriver::Stop() {
    if (run_) run_->Stop();
}

void SteppedDriver::Abandon() {
    timer_.stop();
    if (run_) run_->Stop();
    // Its thread ends here, before anything the run refers to goes.
    run_.reset();
    sink_ = nullptr;
    hooks_ = {};
}

void SteppedDriver::tick() {
    if (!run_) return;
    const auto until = std::chrono::steady_clock::now() + kTickBudget;
    const std::uint64_t before = run_->Cells();
    bool more = true;
    try {
        std::uint64_t stored = before;
        do {
            stored = run_->Cells();
            more = run_->Step(*sink_);
        } while (more && run_->Cells() != stored && std::chrono::steady_clock::now() < until);
    } catch (...) {
        run_->Stop();
        end(std::current_exception());
        return;
    }
    if (!more) {
        end(nullptr);
        return;
    }
    if (run_->Cells() != before && hooks_.slice) hooks_.slice(run_->Cells());
}

void SteppedDriver::end(std::exception_ptr error) {
    timer_.stop();
    // Moved out first: the hook may start the next run.
    const std::unique_ptr<acquire::SteppedRun> run = std::move(run_);
    const Hooks hooks = std::move(hooks_);
    hooks_ = {};
    sink_ = nullptr;
    if (hooks.ended) hooks.ended(*run, error);
}
