// The driver that takes a device's samples from the window's event loop,
// with a scripted run: what happens when a step fails or the owner goes.
// The recordings and live ticks through the program's own device are in
// test_sigrok_source.cpp.
#include "acquire/VectorSink.h"
#include "app/SteppedDriver.h"

#include <QTest>
#include <gtest/gtest.h>
#include <stdexcept>
#include <vector>

namespace {

// What the test sees of a run after the driver has let it go.
struct Trace {
    bool stopped = false;
    bool destroyed = false;
};

// Hands 100 words a step; the step `failAt` throws instead.
class ScriptedRun final : public acquire::SteppedRun {
  public:
    ScriptedRun(Trace& trace, int steps, int failAt)
        : trace_(trace), steps_(steps), failAt_(failAt) {}
    ~ScriptedRun() override { trace_.destroyed = true; }
    bool Step(acquire::SampleSink& sink) override {
        if (step_ == failAt_) throw std::runtime_error("Der Datenträger ist voll.");
        if (step_ >= steps_ || trace_.stopped) return false;
        const std::vector<std::uint16_t> words(100, std::uint16_t(step_));
        cells_ += sink.Write(cells_, words.data(), words.size());
        ++step_;
        return true;
    }
    void WaitReady(std::chrono::milliseconds) override {}
    void Stop() override { trace_.stopped = true; }
    std::uint64_t Cells() const override { return cells_; }
    acquire::RunResult Result() override {
        acquire::RunResult result;
        result.cells = cells_;
        result.stopped = trace_.stopped;
        return result;
    }

  private:
    Trace& trace_;
    int steps_;
    int failAt_;
    int step_ = 0;
    std::uint64_t cells_ = 0;
};

void Direct(const std::function<void()>& f) {
    f();
}

TEST(SteppedDriverTest, RunsToTheEndFromTheEventLoopOrReportsAFailedStep) {
    struct Case {
        const char* what;
        int failAt; // -1: never
        std::size_t cells;
        bool failed;
    } const cases[] = {
        {"all steps", -1, 500, false},
        {"the third step fails", 2, 200, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Trace trace;
        std::vector<std::uint16_t> words;
        acquire::VectorSink sink(words);
        SteppedDriver driver(Direct);
        bool ended = false;
        std::exception_ptr error;
        SteppedDriver::Hooks hooks;
        hooks.ended = [&](acquire::SteppedRun& run, std::exception_ptr e) {
            ended = true;
            error = e;
            EXPECT_EQ(run.Result().cells, c.cells);
            EXPECT_FALSE(driver.Running()) << "free for the next run";
        };
        driver.Start(std::make_unique<ScriptedRun>(trace, 5, c.failAt), sink, std::move(hooks));
        EXPECT_TRUE(driver.Running());
        EXPECT_FALSE(ended) << "nothing happens before the event loop runs";
        ASSERT_TRUE(QTest::qWaitFor([&] { return ended; }, 10'000));
        EXPECT_EQ(words.size(), c.cells) << "what arrived before a failure stays";
        EXPECT_EQ(bool(error), c.failed);
        EXPECT_EQ(trace.stopped, c.failed) << "a failed step stops the run";
        EXPECT_TRUE(trace.destroyed);
    }
}

TEST(SteppedDriverTest, AnOwnerThatGoesEndsTheRunWithoutItsHooks) {
    Trace trace;
    std::vector<std::uint16_t> words;
    acquire::VectorSink sink(words);
    bool hookRan = false;
    {
        SteppedDriver driver(Direct);
        SteppedDriver::Hooks hooks;
        hooks.ended = [&](acquire::SteppedRun&, std::exception_ptr) { hookRan = true; };
        driver.Start(std::make_unique<ScriptedRun>(trace, 1'000'000, -1), sink, std::move(hooks));
        Trace second;
        EXPECT_THROW(driver.Start(std::make_unique<ScriptedRun>(second, 1, -1), sink, {}),
                     std::logic_error)
            << "a second run would fill the same sink";
        QTest::qWait(20);
    }
    EXPECT_TRUE(trace.stopped);
    EXPECT_TRUE(trace.destroyed);
    EXPECT_FALSE(hookRan);
}

} // namespace
