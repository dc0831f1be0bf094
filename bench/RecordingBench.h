#pragma once

// What the recording benchmarks share: the simulated parallel port as the
// window's "Eingabe programmieren" leaves it, behind the acquire layer's port
// source, recorded by the one recorder into a display buffer, as a window
// recording does.
#include "BenchDesktop.h"
#include "acquire/ParallelPortSource.h"
#include "acquire/Recorder.h"
#include "display/SampleBuffer.h"
#include "hardware/PortPreparation.h"
#include "hardware/SimulatedPortSystem.h"
#include "hardware/TPortIO.h"
#include "sampling/MonotonicClock.h"

#include <memory>

// The display's sample buffer as a sink, zero tail included.
class BufferSinkForBench final : public acquire::SampleSink {
  public:
    explicit BufferSinkForBench(SampleBuffer& buffer) : buffer_(buffer) {}
    std::size_t Write(std::uint64_t first, const std::uint16_t* words, std::size_t count) override {
        return buffer_.WriteWords(int(first), words, count);
    }
    void EndAt(std::uint64_t cells) override {
        for (int i = int(cells); i < buffer_.Cells(); ++i) {
            buffer_.SetCellLow(i, 0);
            buffer_.SetCellHigh(i, 0);
        }
    }

  private:
    SampleBuffer& buffer_;
};

class PortRecordingBench {
  public:
    explicit PortRecordingBench(int cells)
        : io(desktop, std::make_unique<SimulatedPortSystem>()),
          source(io, kBase, LptMode{}, desktop, clock) {
        io.SetIOactive(true);
        portprep::InputStart(io, kBase);
        buffer.Resize(std::size_t(cells));
    }
    // One "10 Sek." recording; periodNs 0 keeps the port's own 10 us.
    acquire::Recording Record(std::int64_t periodNs = 0) {
        BufferSinkForBench sink(buffer);
        acquire::RunRequest request;
        request.cells = std::uint64_t(buffer.Cells());
        request.pacePeriodNs = periodNs;
        // Events are pumped as the window pumps them while it records.
        acquire::RunControl control;
        control.progress = [this](std::uint64_t) { desktop.PumpEvents(); };
        return acquire::Recorder(source).Record(acquire::RunKind::Recording, request, sink,
                                                control);
    }

    static constexpr std::int32_t kBase = 0x378;
    BenchDesktop desktop;
    sampling::SteadyClock clock;
    TPortIO io;
    acquire::ParallelPortSource source;
    SampleBuffer buffer;
};
