#include "acquire/Recorder.h"

#include "sampling/TimeFormat.h"

#include <vector>

namespace acquire {

namespace {

// Keeps the lines a run was not asked for low, whatever the source read.
class LineMask final : public SampleSink {
  public:
    LineMask(SampleSink& sink, std::uint16_t lines) : sink_(sink), lines_(lines) {}
    std::size_t Write(std::uint64_t first, const std::uint16_t* words, std::size_t count) override {
        masked_.resize(count);
        for (std::size_t i = 0; i < count; ++i)
            masked_[i] = words[i] & lines_;
        return sink_.Write(first, masked_.data(), count);
    }
    void EndAt(std::uint64_t cells) override { sink_.EndAt(cells); }

  private:
    SampleSink& sink_;
    std::uint16_t lines_;
    std::vector<std::uint16_t> masked_;
};

// Sets a prepared source back however its run ends: a sink may fail mid-run
// (a full disk), and the port must not stay in its recording state.
class Finishing {
  public:
    explicit Finishing(SampleSource* source) : source_(source) {}
    ~Finishing() {
        if (source_) source_->Finish(RunKind::Recording);
    }
    void Release() { source_ = nullptr; }
    Finishing(const Finishing&) = delete;
    Finishing& operator=(const Finishing&) = delete;

  private:
    SampleSource* source_;
};

// Ends the sink at the last cell taken (cells after an early stop would
// still hold the previous recording) and sums the run up.
Recording Conclude(RunResult result, SampleSink& sink) {
    Recording recording;
    static_cast<RunResult&>(recording) = std::move(result);
    sink.EndAt(recording.cells);
    if (recording.triggerMissed) {
        recording.summary = "Der Trigger hat nicht ausgelöst; es wurde nichts aufgenommen.";
        return recording;
    }
    recording.summary = recording.timing ? recording.timing->Summary()
                                         : std::to_string(recording.cells) + " Werte, " +
                                               sampling::DescribeTimeBase(recording.timeBase);
    if (recording.triggerCell)
        recording.summary += ", Trigger bei Wert " + std::to_string(*recording.triggerCell);
    return recording;
}

} // namespace

Recording Recorder::Record(RunKind kind, const RunRequest& request, SampleSink& sink,
                           const RunControl& control, const std::function<void()>& prepared) {
    const bool own = kind == RunKind::Recording;
    if (own) source_.Prepare(kind);
    RunResult result;
    {
        const Finishing finishing(own ? &source_ : nullptr);
        if (prepared) prepared();
        LineMask masked(sink, request.lines);
        result = source_.Run(request, request.lines == 0xFFFF ? sink : masked, control);
    }
    return acquire::Conclude(std::move(result), sink);
}

std::unique_ptr<SteppedRun> Recorder::Start(const RunRequest& request, RunKind kind) {
    const bool own = kind == RunKind::Recording;
    if (own) source_.Prepare(kind);
    Finishing finishing(own ? &source_ : nullptr);
    std::unique_ptr<SteppedRun> run = source_.Start(request);
    // A started run is set back by Conclude; a failed start, here.
    if (run) finishing.Release();
    return run;
}

Recording Recorder::Conclude(SteppedRun& run, SampleSink& sink, RunKind kind) {
    RunResult result;
    {
        const Finishing finishing(kind == RunKind::Recording ? &source_ : nullptr);
        result = run.Result();
    }
    return acquire::Conclude(std::move(result), sink);
}

} // namespace acquire
