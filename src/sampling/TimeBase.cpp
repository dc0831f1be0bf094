#include "sampling/TimeBase.h"

#include <numeric>

namespace sampling {

namespace {
constexpr std::int64_t kPicosPerSecond = 1'000'000'000'000;
}

SamplePeriod::SamplePeriod(std::int64_t num, std::int64_t den) {
    const std::int64_t g = std::gcd(num, den);
    num_ = num / g;
    den_ = den / g;
}

SamplePeriod SamplePeriod::FromPicoseconds(std::int64_t ps) {
    if (ps <= 0) ps = 10'000'000;
    return SamplePeriod(ps, kPicosPerSecond);
}

SamplePeriod SamplePeriod::FromRateHz(std::uint64_t hz) {
    // Rates beyond int64 are not physical; clamp instead of overflowing.
    if (hz == 0) return FromPicoseconds(0);
    if (hz > std::uint64_t(INT64_MAX)) hz = std::uint64_t(INT64_MAX);
    return SamplePeriod(1, std::int64_t(hz));
}

std::int64_t SamplePeriod::Picoseconds() const {
    return PicosecondsFor(1);
}

std::optional<std::uint64_t> SamplePeriod::ExactRateHz() const {
    if (num_ != 1) return std::nullopt;
    return std::uint64_t(den_);
}

std::int64_t SamplePeriod::PicosecondsFor(std::int64_t cells) const {
    const __int128 p = __int128(cells) * num_ * kPicosPerSecond;
    const __int128 half = den_ / 2;
    const __int128 q = p >= 0 ? (p + half) / den_ : (p - half) / den_;
    if (q > INT64_MAX) return INT64_MAX;
    if (q < INT64_MIN) return INT64_MIN;
    return std::int64_t(q);
}

} // namespace sampling
