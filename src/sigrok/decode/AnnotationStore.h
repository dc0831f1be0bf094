#pragma once

#include "sigrok/decode/Annotations.h"
#include "sigrok/decode/Decode.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// The annotations of a decoding as the window keeps them: a few bytes per
// annotation, every distinct text once. A long capture gives millions of
// annotations whose texts repeat ("0x41", "Start bit"), so the texts are
// interned and an annotation refers to them by number.
namespace sigrokdecode {

// One annotation as the views read it; valid as long as its source.
struct AnnotationRef {
    std::uint64_t start = 0;
    std::uint64_t end = 0;    // sample after the last one
    int row = 0;              // index into Rows()
    std::uint32_t handle = 0; // the source's own, for Text and ClassId
};

// What the annotation rows and the list read: all annotations in time order,
// and each row's annotations by start.
class AnnotationSource {
  public:
    virtual ~AnnotationSource() = default;
    virtual const std::vector<AnnotationRow>& Rows() const = 0;
    // In time order: by start sample, then by row.
    virtual std::size_t Count() const = 0;
    virtual AnnotationRef At(std::size_t i) const = 0;
    // Row `row`'s annotations by start: how many, the k-th, and the largest
    // end among the first k+1 (whether a span of samples is covered at all).
    virtual std::size_t CountInRow(int row) const = 0;
    virtual AnnotationRef InRow(int row, std::size_t k) const = 0;
    virtual std::uint64_t EndSoFar(int row, std::size_t k) const = 0;
    // An annotation's texts, longest first; Text(a, 0) is its full text.
    virtual std::size_t TextCount(const AnnotationRef& a) const = 0;
    virtual std::string_view Text(const AnnotationRef& a, std::size_t k = 0) const = 0;
    virtual std::string_view ClassId(const AnnotationRef& a) const = 0;
    // Rows that hold at least one annotation, in row order.
    std::vector<int> UsedRows() const;
    // Index (by start within the row) of the first annotation of `row` that
    // starts at or after `sample`.
    std::size_t FirstInRowFrom(int row, std::uint64_t sample) const;
};

class AnnotationStore : public AnnotationSource {
  public:
    AnnotationStore() = default;
    AnnotationStore(AnnotationStore&&) noexcept = default;
    AnnotationStore& operator=(AnnotationStore&&) noexcept = default;

    // Building: the rows once, then annotations in any order, then Finish.
    void SetRows(std::vector<AnnotationRow> rows) { rows_ = std::move(rows); }
    void Add(std::uint64_t start, std::uint64_t end, int row, std::string_view classId,
             const std::vector<std::string>& texts);
    void Add(const Annotation& a) { Add(a.start, a.end, a.row, a.classId, a.texts); }
    // Sorts, builds the indexes and lets go of the interning tables.
    void Finish();
    bool cancelled = false;

    static AnnotationStore FromResult(const DecodeResult& result);

    const std::vector<AnnotationRow>& Rows() const override { return rows_; }
    std::size_t Count() const override { return timeOrder_.size(); }
    AnnotationRef At(std::size_t i) const override { return ref(timeOrder_[i]); }
    std::size_t CountInRow(int row) const override;
    AnnotationRef InRow(int row, std::size_t k) const override {
        return ref(rowFirst_[std::size_t(row)] + k);
    }
    std::uint64_t EndSoFar(int row, std::size_t k) const override {
        return endSoFar_[rowFirst_[std::size_t(row)] + k];
    }
    std::size_t TextCount(const AnnotationRef& a) const override;
    std::string_view Text(const AnnotationRef& a, std::size_t k = 0) const override;
    std::string_view ClassId(const AnnotationRef& a) const override;

    // Memory the annotations and their indexes take, apart from the distinct texts.
    std::size_t AnnotationBytes() const;
    // Memory of the distinct texts and the lists of them.
    std::size_t TextBytes() const;
    std::size_t DistinctTexts() const { return strings_.size(); }

  private:
    // 24 bytes: the spans in full, the texts and class by number.
    struct Record {
        std::uint64_t start;
        std::uint64_t end;
        std::uint32_t texts;
        std::uint16_t row;
        std::uint16_t classId;
    };
    static_assert(sizeof(Record) == 24);
    AnnotationRef ref(std::size_t index) const;
    std::uint32_t internString(std::string_view s);

    // While building, the records come in chunks of a fixed size: a vector
    // that doubles would, at its last growth, hold up to twice the records
    // and copy them once more; Finish moves the chunks into records_ one by
    // one. A chunk is 48 MiB, above the size from which the C library maps
    // every block on its own and gives it back when freed: the memory of a
    // chunk moved is free at once, and the peak stays near the records.
    static constexpr std::size_t kChunk = std::size_t(1) << 21;
    std::vector<std::vector<Record>> arriving_;

    std::vector<AnnotationRow> rows_;
    std::vector<Record> records_;          // by row, then start
    std::vector<std::uint32_t> timeOrder_; // record indices by start, then row
    std::vector<std::uint64_t> endSoFar_;  // per record: largest end so far in its row
    std::vector<std::size_t> rowFirst_;    // first record of each row, and the end
    std::vector<std::string> strings_;     // every distinct text and class id once
    std::vector<std::uint32_t> listPool_;  // text lists: string numbers, longest first
    std::vector<std::uint32_t> lists_;     // start of each list in listPool_, and the end
    std::unordered_map<std::string, std::uint32_t> stringIds_;
    std::unordered_map<std::string, std::uint32_t> listIds_;
    std::vector<std::uint32_t> classIds_; // class number -> string number
    std::unordered_map<std::uint32_t, std::uint16_t> classOfString_;
};

// Collects a decoding run's annotations into a store as they come.
class StoreSink : public AnnotationSink {
  public:
    void Rows(const std::vector<AnnotationRow>& rows) override { store.SetRows(rows); }
    void Add(Annotation&& a) override { store.Add(a); }

    AnnotationStore store;
};

} // namespace sigrokdecode
