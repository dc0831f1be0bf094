// Feeds arbitrary files to the recording-file loader and on into the display,
// as "Öffnen" does: every length loads whole, the planes split at half the
// length, reads outside the cells yield 0, and the display draws, scrolls,
// measures between markers and searches whatever the file holds. The first
// bytes of the file also choose the record length, the line count, the zoom,
// the shown position and the marker cells, so that those reach every value.
#include "FuzzDisplay.h"
#include "display/SampleBuffer.h"
#include "display/TTrazor.h"
#include "persistence/RecordingData.h"
#include "search/SearchRoutines.h"
#include "search/TrazorCells.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

// Byte i of the input, 0 beyond its end.
std::uint8_t at(const std::uint8_t* data, std::size_t size, std::size_t i) {
    return i < size ? data[i] : 0;
}

// The input goes through a real file as "Öffnen" reads it; in memory where
// the system has a memory file system: writing a file on disk per input
// costs the kernel more than the whole read.
QString scratchTemplate() {
    const QFileInfo shm(QStringLiteral("/dev/shm"));
    const QString base = shm.isDir() && shm.isWritable() ? shm.filePath() : QDir::tempPath();
    return base + QStringLiteral("/spurwerk-fuzz-XXXXXX");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzzdisplay::StartApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const QTemporaryDir dir(scratchTemplate());
    const QString path = dir.filePath("input.DIG");
    const QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(input) != input.size()) std::abort();
    }
    const std::vector<std::uint8_t> loaded = recording::ReadRecordingFile(path);
    if (!std::equal(loaded.begin(), loaded.end(), data, data + size)) std::abort();

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

    // The board's record lengths (" 5 Sek.", "10 Sek.") and two beside them:
    // what matters is how the file's length and the record length relate,
    // and long buffers only make every search and measurement walk further
    // over the same code (the port's 1,048,576 cells would cost a second per
    // input here).
    static constexpr int kLengths[] = {512, 4096, 8192, 16384};
    const std::uint8_t choice = at(data, size, 0);
    static fuzzdisplay::Display display;
    TTrazor& trazor = display.Trazor();
    auto& option = trazor.Option();
    {
        // Loaded and set up in one go and drawn once, as start-up applies its settings.
        const TTrazor::DeferredDrawing once(trazor);
        display.Fresh(kLengths[choice & 3], loaded,
                      at(data, size, 2) | at(data, size, 3) << 8 | (choice & 0x0C) << 14);
        option.SetDigits(1 + (choice >> 4));
        option.SetTimeStep(at(data, size, 1) - 64);
        trazor.Redraw();
        trazor.DrawSignals();
    }

    // A few cells one way, before any marker is placed: a step of one cell
    // then moves the picture instead of drawing it anew, and the position the
    // input chose above already reaches both ends.
    const std::uint8_t scroll = at(data, size, 11);
    if (scroll & 0x80)
        trazor.ScrollBack(1 + scroll % 4);
    else
        trazor.ScrollForward(1 + scroll % 4);

    // Markers on the buffer and a little beyond both of its ends.
    const int size32 = option.CellsSize();
    const int line = at(data, size, 4) % 18 - 1;
    for (int point = 0; point < 3; ++point)
        trazor.StoreMarkerPoint(
            1, (at(data, size, 5 + point) << 8 | at(data, size, 8)) % (size32 + 512) - 256);
    trazor.DrawMarkers();
    trazor.ShowTimeMeasurement(1, line);
    trazor.ShowFrequency(1, line);

    // The searches read the display as the search dialog does.
    const search::TrazorCells reader(trazor);
    search::FindEdge(reader, option.CellsPos(), size32, line, at(data, size, 9) & 1);
    search::FindNibble(reader, option.CellsPos(), size32, at(data, size, 10) % 17,
                       (at(data, size, 10) >> 5) & 1, 1 + ((at(data, size, 10) >> 6) & 1));
    search::ScrollBarPosition(option.CellsPos(), size32);
    display.Finish();
    return 0;
}
