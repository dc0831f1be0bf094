#pragma once

#include "acquire/StreamSink.h"
#include "display/LongCapture.h"
#include "sampling/TimeBase.h"
#include "sigrok/SessionStream.h"

#include <cstdint>
#include <future>
#include <string>
#include <vector>

// A capture longer than the buffer: the session file it goes to while it runs
// and the summary the diagram shows it from, built from the same samples.
// Lives as long as the diagram shows it.
class LongCaptureFile {
  public:
    // Shown at `timeBase` (the rate the device was asked for) until Close
    // gives the one the device reported.
    LongCaptureFile(const std::string& path, int lines, const sampling::TimeBase& timeBase);
    // Waits for a commit still running.
    ~LongCaptureFile();
    LongCaptureFile(const LongCaptureFile&) = delete;
    LongCaptureFile& operator=(const LongCaptureFile&) = delete;

    acquire::SampleSink& Sink() { return sink_; }
    // Brings the summary up to the samples in the file by now.
    void Update() { capture_.SetReadable(stream_.Flushed()); }
    // Completes the file and shows all of it; it is not in place yet.
    void Close(const std::vector<std::string>& names, const sampling::TimeBase& timeBase);
    // Puts the closed file in place of its target (renamed over it) on a
    // thread of its own: making gigabytes durable may take the disk seconds,
    // while the diagram goes on reading the file.
    void StartCommit();
    // After StartCommit: true once the file is in place; throws what made the
    // commit fail.
    bool Committed();
    const trazor::LongCapture& Capture() const { return capture_; }
    std::uint64_t Samples() const { return stream_.Samples(); }

  private:
    sigrok::SessionStream stream_;
    trazor::LongCapture capture_;
    acquire::StreamSink sink_;
    std::future<void> commit_; // last: gone first, after waiting for the thread
};
