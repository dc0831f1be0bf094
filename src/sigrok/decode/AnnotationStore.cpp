#include "sigrok/decode/AnnotationStore.h"

#include <algorithm>
#include <limits>
#include <queue>

namespace sigrokdecode {

std::vector<int> AnnotationSource::UsedRows() const {
    std::vector<int> used;
    for (int r = 0; r < int(Rows().size()); ++r)
        if (CountInRow(r) > 0) used.push_back(r);
    return used;
}

std::size_t AnnotationSource::FirstInRowFrom(int row, std::uint64_t sample) const {
    std::size_t lo = 0, hi = CountInRow(row);
    while (lo < hi) {
        const std::size_t mid = lo + (hi - lo) / 2;
        if (InRow(row, mid).start < sample)
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo;
}

std::uint32_t AnnotationStore::internString(std::string_view s) {
    const auto [it, added] = stringIds_.try_emplace(std::string(s), std::uint32_t(strings_.size()));
    if (added) strings_.emplace_back(s);
    return it->second;
}

void AnnotationStore::Add(std::uint64_t start, std::uint64_t end, int row, std::string_view classId,
                          const std::vector<std::string>& texts) {
    // Rows and classes come from the decoders' descriptions: a few dozen. The
    // numbers are bounded anyway, so a strange decoder cannot wrap them.
    constexpr auto kMax16 = std::numeric_limits<std::uint16_t>::max();
    if (row < 0 || std::size_t(row) >= rows_.size() || row >= kMax16) return;
    if (arriving_.size() * kChunk >= std::numeric_limits<std::uint32_t>::max() - kChunk) return;

    std::string key; // the list as its string numbers, for interning the list
    std::vector<std::uint32_t> ids;
    ids.reserve(texts.size());
    for (const auto& t : texts) {
        const std::uint32_t id = internString(t);
        ids.push_back(id);
        key.append(reinterpret_cast<const char*>(&id), sizeof id);
    }
    if (lists_.empty()) lists_.push_back(0);
    const auto [list, added] = listIds_.try_emplace(key, std::uint32_t(lists_.size() - 1));
    if (added) {
        listPool_.insert(listPool_.end(), ids.begin(), ids.end());
        lists_.push_back(std::uint32_t(listPool_.size()));
    }

    const std::uint32_t classString = internString(classId);
    auto cls = classOfString_.find(classString);
    if (cls == classOfString_.end()) {
        if (classIds_.size() >= kMax16) return;
        cls = classOfString_.emplace(classString, std::uint16_t(classIds_.size())).first;
        classIds_.push_back(classString);
    }
    if (arriving_.empty() || arriving_.back().size() == kChunk) {
        arriving_.emplace_back();
        arriving_.back().reserve(kChunk);
    }
    arriving_.back().push_back({start, end, list->second, std::uint16_t(row), cls->second});
}

void AnnotationStore::Finish() {
    std::size_t arrived = records_.size();
    for (const auto& chunk : arriving_)
        arrived += chunk.size();
    records_.reserve(arrived);
    for (auto& chunk : arriving_) {
        records_.insert(records_.end(), chunk.begin(), chunk.end());
        // Swapped out, not assigned `{}`: that would empty the chunk and keep
        // its memory until the last one was moved.
        std::vector<Record>().swap(chunk);
    }
    std::vector<std::vector<Record>>().swap(arriving_);

    // By row, then start; the rest of the key only makes the order the same
    // on every run, whatever order the decoders' threads delivered in.
    std::sort(records_.begin(), records_.end(), [](const Record& a, const Record& b) {
        if (a.row != b.row) return a.row < b.row;
        if (a.start != b.start) return a.start < b.start;
        if (a.end != b.end) return a.end < b.end;
        if (a.classId != b.classId) return a.classId < b.classId;
        return a.texts < b.texts;
    });
    rowFirst_.assign(rows_.size() + 1, records_.size());
    endSoFar_.resize(records_.size());
    for (std::size_t i = records_.size(); i-- > 0;)
        rowFirst_[records_[i].row] = i;
    for (std::size_t r = rows_.size(); r-- > 0;)
        rowFirst_[r] = std::min(rowFirst_[r], rowFirst_[r + 1]);
    for (std::size_t i = 0; i < records_.size(); ++i) {
        const bool firstOfRow = i == 0 || records_[i - 1].row != records_[i].row;
        endSoFar_[i] = firstOfRow ? records_[i].end : std::max(endSoFar_[i - 1], records_[i].end);
    }

    // Time order: the rows merged by start (ties by row, as the rows are ordered).
    timeOrder_.clear();
    timeOrder_.reserve(records_.size());
    using Head = std::pair<std::uint64_t, std::size_t>; // start, record
    std::priority_queue<Head, std::vector<Head>, std::greater<>> heads;
    for (std::size_t r = 0; r < rows_.size(); ++r)
        if (rowFirst_[r] < rowFirst_[r + 1])
            heads.push({records_[rowFirst_[r]].start, rowFirst_[r]});
    while (!heads.empty()) {
        const std::size_t i = heads.top().second;
        heads.pop();
        timeOrder_.push_back(std::uint32_t(i));
        if (i + 1 < records_.size() && records_[i + 1].row == records_[i].row)
            heads.push({records_[i + 1].start, i + 1});
    }

    // Only reading from here on: the lookup tables are not needed any more.
    decltype(stringIds_)().swap(stringIds_);
    decltype(listIds_)().swap(listIds_);
    decltype(classOfString_)().swap(classOfString_);
}

AnnotationStore AnnotationStore::FromResult(const DecodeResult& result) {
    AnnotationStore store;
    store.SetRows(result.rows);
    for (const auto& a : result.annotations)
        store.Add(a);
    store.cancelled = result.cancelled;
    store.Finish();
    return store;
}

std::size_t AnnotationStore::CountInRow(int row) const {
    if (row < 0 || std::size_t(row) + 1 >= rowFirst_.size()) return 0;
    return rowFirst_[std::size_t(row) + 1] - rowFirst_[std::size_t(row)];
}

AnnotationRef AnnotationStore::ref(std::size_t index) const {
    const Record& r = records_[index];
    return {r.start, r.end, r.row, std::uint32_t(index)};
}

std::size_t AnnotationStore::TextCount(const AnnotationRef& a) const {
    const std::uint32_t list = records_[a.handle].texts;
    return lists_[list + 1] - lists_[list];
}

std::string_view AnnotationStore::Text(const AnnotationRef& a, std::size_t k) const {
    if (k >= TextCount(a)) return {};
    return strings_[listPool_[lists_[records_[a.handle].texts] + k]];
}

std::string_view AnnotationStore::ClassId(const AnnotationRef& a) const {
    return strings_[classIds_[records_[a.handle].classId]];
}

std::size_t AnnotationStore::AnnotationBytes() const {
    return records_.capacity() * sizeof(Record) + timeOrder_.capacity() * sizeof(std::uint32_t) +
           endSoFar_.capacity() * sizeof(std::uint64_t) +
           rowFirst_.capacity() * sizeof(std::size_t);
}

std::size_t AnnotationStore::TextBytes() const {
    std::size_t bytes =
        listPool_.size() * sizeof(std::uint32_t) + lists_.size() * sizeof(std::uint32_t);
    for (const auto& s : strings_)
        bytes += sizeof(std::string) + s.capacity();
    return bytes;
}

} // namespace sigrokdecode
