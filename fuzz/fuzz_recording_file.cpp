// Feeds arbitrary files to the recording-file loader and the sample buffer
// that takes them: every length loads, the planes split at half the length,
// and reads outside the cells yield 0.
#include "display/SampleBuffer.h"
#include "persistence/RecordingData.h"

#include <QFile>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const QTemporaryDir dir;
    const QString path = dir.filePath("input.DIG");
    const QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(input) != input.size()) std::abort();
    }
    const QByteArray loaded = recording::ReadRecordingFile(path);
    if (loaded != input) std::abort();

    SampleBuffer buffer;
    buffer.Load(loaded);
    const int cells = buffer.Cells();
    if (cells != static_cast<int>(size / 2)) std::abort();
    for (const int i : {-1, 0, cells / 2, cells - 1, cells, cells + 1}) {
        const bool inside = i >= 0 && i < cells;
        const std::uint8_t low = inside ? data[i] : 0;
        const std::uint8_t high = inside ? data[cells + i] : 0;
        if (buffer.GetCellLow(i) != low || buffer.GetCellHigh(i) != high) std::abort();
        for (int line = -1; line <= 16; ++line)
            buffer.Bit(i, line);
    }
    return 0;
}
