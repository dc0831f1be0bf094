#pragma once

#include "persistence/IniMemoryStream.h"

#include <QByteArray>
#include <QString>
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

class TIniRegistryList;

// Type codes of a store entry.
namespace initype {
constexpr std::uint8_t Key = 0;
constexpr std::uint8_t String = 1;
constexpr std::uint8_t Float = 2; // 80-bit extended real, 10 bytes
constexpr std::uint8_t Integer = 3;
constexpr std::uint8_t Boolean = 4;
constexpr std::uint8_t Binary = 5;
constexpr std::uint8_t Last = Binary;
} // namespace initype

// One entry of a key. A value of 1..10 bytes lives inline in Data; a larger
// one in the heap block (HeapSize bytes); a key entry owns its sub-key.
struct TIniRegistryItem {
    static constexpr int InlineCapacity = 10;

    QString Name;
    std::array<std::uint8_t, InlineCapacity> Data{};
    std::vector<std::uint8_t> Heap;
    std::unique_ptr<TIniRegistryList> SubKey;
    std::uint8_t InlineSize = 0;
    std::uint8_t DataType = 0;

    std::int32_t HeapSize() const { return static_cast<std::int32_t>(Heap.size()); }
    std::int32_t ValueSize() const { return InlineSize != 0 ? InlineSize : HeapSize(); }
    const std::uint8_t* ValueBytes() const { return InlineSize != 0 ? Data.data() : Heap.data(); }
};

// Order of entry names: case-insensitive and locale-aware (German rules), so
// "digits" finds "Digits". Answers <0, 0 or >0.
int CompareNames(const QString& a, const QString& b);

// A key: its entries, kept sorted by name.
class TIniRegistryList {
  public:
    // Nesting deeper than this in a file is refused; the program itself uses two levels.
    static constexpr int MaxDepth = 256;

    explicit TIniRegistryList(TIniRegistryList* parent = nullptr) : parent_(parent) {}
    ~TIniRegistryList();
    TIniRegistryList(const TIniRegistryList&) = delete;
    TIniRegistryList& operator=(const TIniRegistryList&) = delete;

    std::int32_t Count() const { return static_cast<std::int32_t>(items_.size()); }
    std::int32_t Capacity() const { return capacity_; }
    TIniRegistryList* Parent() const { return parent_; }
    // Raises code 7 outside 0..Count-1.
    const TIniRegistryItem& Item(std::int32_t index) const;

    // Binary search: index of the first entry not less than name, and whether it matches.
    bool Find(const QString& name, std::int32_t& index) const;
    std::int32_t IndexOf(const QString& name) const;
    // Inserts at the sorted place (code 10 when the name exists); a key entry
    // gets a new empty sub-key whose parent is this list.
    std::int32_t Add(const QString& name, std::uint8_t type);
    // The entry's index; adds it with the type when allowed, else raises code 9.
    std::int32_t FindOrAdd(const QString& name, std::uint8_t type, bool canAdd);
    TIniRegistryList* CreateKey(const QString& name);
    // Removes the entry (a key with everything below it); code 7 outside 0..Count-1.
    void Delete(std::int32_t index);
    // Raises code 9 when absent, 8 when the entry is a value.
    TIniRegistryList* OpenKey(const QString& name);

    std::int32_t ValueSize(std::int32_t index) const;
    // Copies the value into destination (code 1 for a key entry, 6 when it does not fit).
    void GetValue(std::int32_t index, void* destination, std::int32_t destinationSize) const;
    // Stores a value under the size rule of the entry's type.
    void SetValue(std::int32_t index, const void* source, std::int32_t size);

    void WriteToStream(TIniMemoryStream& stream) const;
    // Reads a key body into this (empty) list.
    void ReadFromStream(TIniMemoryStream& stream, int depth = 0);
    void Clear();
    // Takes over the other list's entries; sub-keys are re-parented to this list.
    void TakeItemsFrom(TIniRegistryList& other);

  private:
    TIniRegistryItem& ItemAt(std::int32_t index);
    void Grow();

    std::vector<TIniRegistryItem> items_;
    std::int32_t capacity_ = 0;
    TIniRegistryList* parent_;
};
