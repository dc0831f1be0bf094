#include "display/TimeAxis.h"

#include <gtest/gtest.h>

using namespace trazor;
using sampling::SamplePeriod;

namespace {
constexpr int kOrigin = 70;
constexpr int kWidth = 863;

std::vector<const TimeTick*> labels(const TimeAxisLayout& layout) {
    std::vector<const TimeTick*> out;
    for (const TimeTick& t : layout.ticks)
        if (t.labelled) out.push_back(&t);
    return out;
}
} // namespace

TEST(TimeAxisTest, LabelStepsAreOneTwoFiveTimesAPowerOfTen) {
    struct Case {
        double seconds;
        int mantissa, exponent;
    };
    const Case cases[] = {
        {1.0, 1, 0},     {1.01, 2, 0},  {2.0, 2, 0},   {2.5, 5, 0},     {6, 1, 1},
        {3.3e-7, 5, -7}, {1e-9, 1, -9}, {4.2e6, 5, 6}, {1e-13, 1, -12}, // no finer than 1 ps
    };
    for (const Case& c : cases) {
        const LabelStep s = labelStepFor(c.seconds);
        EXPECT_EQ(s.mantissa, c.mantissa) << c.seconds;
        EXPECT_EQ(s.exponent, c.exponent) << c.seconds;
    }
}

// Rates and zooms from a slow board to a fast simulation dump and a whole
// 64 Mi-cell capture: the unit, the first labels, and labels at least 40
// pixels apart, on the pixel of their time.
TEST(TimeAxisTest, LabelsInTheBestUnitForEveryRateAndZoom) {
    struct Case {
        const char* what;
        SamplePeriod period;
        long long firstCell;
        ViewScale scale;
        const char* unit;
        std::vector<const char*> first; // the first labels
        double secondsPerPixel;
    };
    const Case cases[] = {
        {"1 Hz at 30 px", SamplePeriod::FromRateHz(1), 0, {30, 1}, "s", {"0", "2", "4"}, 1.0 / 30},
        {"10 µs at 30 px",
         SamplePeriod::FromNanoseconds(10'000),
         250,
         {30, 1},
         "µs",
         {"2500", "2520", "2540"},
         1e-5 / 30},
        {"200 kHz at 30 px",
         SamplePeriod::FromRateHz(200'000),
         0,
         {30, 1},
         "µs",
         {"0", "10", "20"},
         5e-6 / 30},
        {"50 ns at 6 px",
         SamplePeriod::FromNanoseconds(50),
         1000,
         {6, 1},
         "ns",
         {"50000", "50500", "51000"},
         50e-9 / 6},
        {"1 ns at 306 px",
         SamplePeriod::FromNanoseconds(1),
         7,
         {306, 1},
         "ps",
         {"7000", "7200", "7400"},
         1e-9 / 306},
        {"64 Mi cells at 20 MHz, whole",
         SamplePeriod::FromRateHz(20'000'000),
         0,
         {1, 84627},
         "ms",
         {"0", "200", "400"},
         84627 / 20e6},
        {"64 Mi cells at 1 Hz, whole",
         SamplePeriod::FromRateHz(1),
         0,
         {1, 84627},
         "s",
         {"0", "5000000", "10000000"},
         84627.0},
    };
    for (const Case& c : cases) {
        const TimeAxisLayout layout =
            layoutTimeAxis({c.firstCell, c.scale, kOrigin, kWidth}, c.period, 40);
        EXPECT_EQ(layout.unit, QString::fromUtf8(c.unit)) << c.what;
        const auto shown = labels(layout);
        ASSERT_GE(shown.size(), c.first.size()) << c.what;
        for (std::size_t i = 0; i < c.first.size(); ++i)
            EXPECT_EQ(shown[i]->label, QString::fromUtf8(c.first[i])) << c.what << " " << i;
        const double startSeconds = c.period.Seconds() * double(c.firstCell);
        for (std::size_t i = 0; i < shown.size(); ++i) {
            EXPECT_GE(shown[i]->x, kOrigin) << c.what;
            EXPECT_LT(shown[i]->x, kWidth) << c.what;
            if (i > 0) {
                EXPECT_GE(shown[i]->x - shown[i - 1]->x, 39) << c.what;
            }
            // x of the label's time, to the pixel.
            const double t = startSeconds + (shown[i]->x - kOrigin) * c.secondsPerPixel;
            EXPECT_NEAR(t / layout.stepSeconds, std::round(t / layout.stepSeconds),
                        c.secondsPerPixel / layout.stepSeconds)
                << c.what;
        }
    }
}

TEST(TimeAxisTest, NoRoomOrNoScaleGivesNoTicks) {
    const SamplePeriod p = SamplePeriod::FromNanoseconds(10'000);
    EXPECT_TRUE(layoutTimeAxis({0, {30, 1}, 70, 70}, p, 40).ticks.empty());
    EXPECT_TRUE(layoutTimeAxis({0, {0, 1}, 70, 863}, p, 40).ticks.empty());
    EXPECT_TRUE(layoutTimeAxis({0, {1, 0}, 70, 863}, p, 40).ticks.empty());
}

// A label whose text would reach the right edge is left out, its tick stays;
// one that ends a pixel inside is drawn. 10 µs at 30 px: labels every 20 µs,
// 60 pixels apart from the origin.
TEST(TimeAxisTest, LabelsStayInsideTheRightEdge) {
    const SamplePeriod p = SamplePeriod::FromNanoseconds(10'000);
    struct Case {
        int width;
        const char* lastLabel;
    };
    const Case cases[] = {
        {kOrigin + 300 + 3, "80"},  // the tick at 300 has no room for its label
        {kOrigin + 300 + 7, "80"},  // its label would end on the edge
        {kOrigin + 300 + 8, "100"}, // it ends one pixel inside
    };
    for (const Case& c : cases) {
        const TimeAxisLayout layout = layoutTimeAxis({0, {30, 1}, kOrigin, c.width, 7}, p, 40);
        const auto major = labels(layout);
        ASSERT_FALSE(major.empty());
        EXPECT_EQ(major.back()->x, kOrigin + 300) << c.width;
        QString last;
        for (const TimeTick* t : major) {
            if (!t->label.isEmpty()) last = t->label;
            EXPECT_LT(t->label.isEmpty() ? 0 : t->x + 7, c.width) << c.width;
        }
        EXPECT_EQ(last, QString::fromUtf8(c.lastLabel)) << c.width;
    }
}
