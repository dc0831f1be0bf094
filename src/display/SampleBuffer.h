#pragma once

#include "sampling/TimeBase.h"

#include <optional>

#include <QByteArray>
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

// The one store of samples: a byte stream of two planes that are not
// interleaved. The low plane (lines D00..D07) is the first half, the high plane
// (lines D08..D15) the second. The split is always half the current stream
// size, so a recording file of any length can be loaded and shown as it is.
// The buffer carries its time base: how long one cell really lasts.
class SampleBuffer {
  public:
    // Number of cells the stream holds: half its size, rounded down.
    int Cells() const { return static_cast<int>(half_); }
    std::size_t Size() const { return bytes_.size(); }

    // Cells outside 0 .. size/2-1 read as 0 and ignore writes; the recording
    // loop calls these for every sample, so they stay inline and branch once.
    std::uint8_t GetCellLow(int index) const { return inRange(index) ? bytes_[index] : 0; }
    std::uint8_t GetCellHigh(int index) const { return inRange(index) ? bytes_[half_ + index] : 0; }
    void SetCellLow(int index, std::uint8_t value) {
        if (inRange(index)) {
            bytes_[index] = value;
            noteChanged(index);
        }
    }
    void SetCellHigh(int index, std::uint8_t value) {
        if (inRange(index)) {
            bytes_[half_ + index] = value;
            noteChanged(index);
        }
    }

    // Writes words (lines D00..D07 in the low byte, D08..D15 in the high
    // byte) into cells first, first+1, ...; words beyond the buffer are
    // dropped. Answers how many were written. A device's blocks come in
    // this way: one pass per plane, no per-cell bookkeeping.
    std::size_t WriteWords(int first, const std::uint16_t* words, std::size_t count);

    // Bit `line` (0..15) of a cell, read from the plane the line lives in;
    // other line numbers read as 0.
    bool Bit(int index, int line) const {
        if (line < 0 || line > 15) return false;
        const std::uint8_t plane = line < 8 ? GetCellLow(index) : GetCellHigh(index);
        return (plane >> (line & 7)) & 1u;
    }

    // Sets every byte to 0; the size stays.
    void Clear();
    // Gives the stream 2 x cells zero bytes.
    void Resize(std::size_t cells);
    // Replaces the stream with a file's bytes, whatever their length. The
    // time base becomes the nominal, unknown one; a loader that knows the
    // timing sets it afterwards.
    void Load(std::vector<std::uint8_t> bytes);
    void Load(const QByteArray& bytes);
    // Empties the buffer as loading no bytes does and hands its memory over,
    // for an owner that lets it go where giving it back holds nobody up.
    std::vector<std::uint8_t> TakeBytes();

    // Clear and Resize keep the time base; a recording sets its own.
    const sampling::TimeBase& GetTimeBase() const { return timeBase_; }
    // A triggered capture names the cell where its trigger fired: the time
    // axis counts from there. Every new time base is a new capture, and comes
    // with its own trigger or none.
    void SetTimeBase(const sampling::TimeBase& timeBase,
                     std::optional<long long> triggerCell = std::nullopt) {
        timeBase_ = timeBase;
        triggerCell_ = triggerCell;
    }
    std::optional<long long> TriggerCell() const { return triggerCell_; }

    const std::vector<std::uint8_t>& Bytes() const { return bytes_; }

    // The cells written since the last call, for summaries kept beside the
    // buffer (see SamplePyramid). `Reshaped` says the whole stream was
    // replaced, cleared or resized, so nothing kept about it holds.
    struct Changes {
        bool Reshaped = false;
        int First = 0; // changed cells First .. Last-1 (empty when First >= Last)
        int Last = 0;
        bool Any() const { return Reshaped || First < Last; }
    };
    Changes TakeChanges();

  private:
    bool inRange(int index) const { return index >= 0 && static_cast<std::size_t>(index) < half_; }
    // The recording loop writes every sample through here: two branch-free
    // min/max updates, no allocation.
    void noteChanged(int index) {
        changedFirst_ = std::min(changedFirst_, index);
        changedLast_ = std::max(changedLast_, index + 1);
    }
    void noteReshaped();

    std::vector<std::uint8_t> bytes_;
    std::size_t half_ = 0;
    sampling::TimeBase timeBase_;
    std::optional<long long> triggerCell_;
    bool reshaped_ = true;
    int changedFirst_ = 0;
    int changedLast_ = 0;
};
