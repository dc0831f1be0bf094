#include "acquire/Recorder.h"

#include "sampling/TimeFormat.h"

namespace acquire {

namespace {

// Sets a prepared source back however its run ends: a sink may fail mid-run
// (a full disk), and the port must not stay in its recording state.
class Finishing {
  public:
    explicit Finishing(SampleSource* source) : source_(source) {}
    ~Finishing() {
        if (source_) source_->Finish(RunKind::Recording);
    }
    Finishing(const Finishing&) = delete;
    Finishing& operator=(const Finishing&) = delete;

  private:
    SampleSource* source_;
};

} // namespace

Recording Recorder::Record(RunKind kind, const RunRequest& request, SampleSink& sink,
                           const RunControl& control, const std::function<void()>& prepared) {
    const bool own = kind == RunKind::Recording;
    if (own) source_.Prepare(kind);
    Recording recording;
    {
        const Finishing finishing(own ? &source_ : nullptr);
        if (prepared) prepared();
        static_cast<RunResult&>(recording) = source_.Run(request, sink, control);
    }
    // Cells after an early stop would still hold the previous recording.
    sink.EndAt(recording.cells);
    recording.summary = recording.timing ? recording.timing->Summary()
                                         : std::to_string(recording.cells) + " Werte, " +
                                               sampling::DescribeTimeBase(recording.timeBase);
    return recording;
}

} // namespace acquire
