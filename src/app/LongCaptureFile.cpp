#include "LongCaptureFile.h"

#include "sigrok/SigrokExport.h"

#include <chrono>

namespace {
sigrok::SessionStream::Shape ShapeFor(int lines) {
    sigrok::SessionStream::Shape shape;
    shape.unitSize = lines <= 8 ? 1 : 2;
    return shape;
}
} // namespace

LongCaptureFile::LongCaptureFile(const std::string& path, int lines,
                                 const sampling::TimeBase& timeBase)
    : stream_(path, ShapeFor(lines)),
      capture_(path, [this](std::uint64_t first, std::size_t count,
                            std::uint16_t* out) { stream_.Read(first, count, out); }),
      sink_(stream_, [this](const std::uint16_t* words, std::size_t count) {
          capture_.Append(words, count);
      }) {
    capture_.SetTimeBase(timeBase);
}

LongCaptureFile::~LongCaptureFile() {
    if (commit_.valid()) commit_.wait();
}

void LongCaptureFile::Close(const std::vector<std::string>& names,
                            const sampling::TimeBase& timeBase) {
    stream_.Close(names, sigrok::ExportRateHz(timeBase));
    capture_.SetTimeBase(timeBase);
    Update();
}

void LongCaptureFile::StartCommit() {
    commit_ = std::async(std::launch::async, [this] { stream_.Commit(); });
}

bool LongCaptureFile::Committed() {
    if (!commit_.valid()) return true;
    if (commit_.wait_for(std::chrono::seconds(0)) != std::future_status::ready) return false;
    commit_.get(); // gives what the thread threw
    return true;
}
