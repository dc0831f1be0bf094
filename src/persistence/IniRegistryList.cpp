#include "persistence/IniRegistryList.h"

#include "persistence/Cp1252.h"
#include "persistence/EINIRegistryError.h"

#include <QCollator>
#include <QLocale>
#include <algorithm>
#include <cstring>

namespace {

QCollator makeNameCollator() {
    QCollator collator{QLocale(QLocale::German, QLocale::Germany)};
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    return collator;
}

// Smallest possible item in a file: name length, type and an empty value.
constexpr qsizetype kMinItemBytes = 3;

std::int32_t checkedCount(TIniMemoryStream& stream, qsizetype perItem, const char* what) {
    const std::int32_t count = ReadCompactInt(stream);
    if (count < 0 || count > stream.Remaining() / perItem)
        throw EStreamReadError(std::string(what) + " " + std::to_string(count) + " vor Byte " +
                               std::to_string(stream.Position()) + " passt nicht zu den Daten");
    return count;
}

} // namespace

int CompareNames(const QString& a, const QString& b) {
    // Built once; the collator is only read afterwards, on the one UI thread.
    static const QCollator collator = makeNameCollator();
    return collator.compare(a, b);
}

TIniRegistryList::~TIniRegistryList() = default;

const TIniRegistryItem& TIniRegistryList::Item(std::int32_t index) const {
    if (index < 0 || index >= Count()) throw EINIRegistryError(EINIRegistryError::IndexOutOfRange);
    return items_[static_cast<std::size_t>(index)];
}

TIniRegistryItem& TIniRegistryList::ItemAt(std::int32_t index) {
    if (index < 0 || index >= Count()) throw EINIRegistryError(EINIRegistryError::IndexOutOfRange);
    return items_[static_cast<std::size_t>(index)];
}

bool TIniRegistryList::Find(const QString& name, std::int32_t& index) const {
    std::int32_t low = 0;
    std::int32_t high = Count() - 1;
    bool found = false;
    while (low <= high) {
        const std::int32_t mid = low + (high - low) / 2;
        const int c = CompareNames(items_[static_cast<std::size_t>(mid)].Name, name);
        if (c < 0) {
            low = mid + 1;
        } else {
            high = mid - 1;
            if (c == 0) found = true;
        }
    }
    index = low;
    return found;
}

std::int32_t TIniRegistryList::IndexOf(const QString& name) const {
    std::int32_t index = 0;
    return Find(name, index) ? index : -1;
}

void TIniRegistryList::Grow() {
    // Grows like the platform's pointer list: small steps while small, then by a quarter.
    const std::int32_t delta = capacity_ > 64 ? capacity_ / 4 : (capacity_ > 8 ? 16 : 4);
    capacity_ += delta;
    items_.reserve(static_cast<std::size_t>(capacity_));
}

std::int32_t TIniRegistryList::Add(const QString& name, std::uint8_t type) {
    std::int32_t index = 0;
    if (Find(name, index)) throw EINIRegistryError(EINIRegistryError::AlreadyExists, name);
    if (Count() == capacity_) Grow();
    TIniRegistryItem item;
    item.Name = name;
    item.DataType = type;
    if (type == initype::Key) item.SubKey = std::make_unique<TIniRegistryList>(this);
    items_.insert(items_.begin() + index, std::move(item));
    return index;
}

std::int32_t TIniRegistryList::FindOrAdd(const QString& name, std::uint8_t type, bool canAdd) {
    std::int32_t index = 0;
    if (Find(name, index)) return index;
    if (!canAdd) throw EINIRegistryError(EINIRegistryError::NotFound, name);
    return Add(name, type);
}

TIniRegistryList* TIniRegistryList::CreateKey(const QString& name) {
    return items_[static_cast<std::size_t>(Add(name, initype::Key))].SubKey.get();
}

void TIniRegistryList::Delete(std::int32_t index) {
    ItemAt(index); // range check
    items_.erase(items_.begin() + index);
}

TIniRegistryList* TIniRegistryList::OpenKey(const QString& name) {
    const std::int32_t index = FindOrAdd(name, initype::Key, false);
    TIniRegistryItem& item = items_[static_cast<std::size_t>(index)];
    if (item.DataType != initype::Key) throw EINIRegistryError(EINIRegistryError::NotAKey);
    if (!item.SubKey) throw EINIRegistryError(EINIRegistryError::ListNotCreated);
    return item.SubKey.get();
}

std::int32_t TIniRegistryList::ValueSize(std::int32_t index) const {
    return Item(index).ValueSize();
}

void TIniRegistryList::GetValue(std::int32_t index, void* destination,
                                std::int32_t destinationSize) const {
    const TIniRegistryItem& item = Item(index);
    if (item.DataType == initype::Key) throw EINIRegistryError(EINIRegistryError::WrongType);
    const std::int32_t size = item.ValueSize();
    if (size == 0) return;
    if (destinationSize < size) throw EINIRegistryError(EINIRegistryError::BufferTooSmall);
    std::memcpy(destination, item.ValueBytes(), static_cast<std::size_t>(size));
}

void TIniRegistryList::SetValue(std::int32_t index, const void* source, std::int32_t size) {
    TIniRegistryItem& item = ItemAt(index);
    switch (item.DataType) {
    case initype::String:
    case initype::Binary:
        break;
    case initype::Float:
        if (size != 10) throw EINIRegistryError(EINIRegistryError::WrongDataSize, "Float");
        break;
    case initype::Integer:
        if (size != 4) throw EINIRegistryError(EINIRegistryError::WrongDataSize, "Integer");
        break;
    case initype::Boolean:
        if (size != 4) throw EINIRegistryError(EINIRegistryError::WrongDataSize, "Boolean");
        break;
    default:
        throw EINIRegistryError(EINIRegistryError::WrongType);
    }
    if (size <= 0) {
        item.Heap = {};
        item.Data.fill(0);
        item.InlineSize = 0;
    } else if (size <= TIniRegistryItem::InlineCapacity) {
        item.Heap = {};
        item.Data.fill(0);
        item.InlineSize = static_cast<std::uint8_t>(size);
        std::memcpy(item.Data.data(), source, static_cast<std::size_t>(size));
    } else {
        if (item.InlineSize != 0) {
            item.Data.fill(0);
            item.InlineSize = 0;
        }
        item.Heap.resize(static_cast<std::size_t>(size));
        std::memcpy(item.Heap.data(), source, static_cast<std::size_t>(size));
    }
}

void TIniRegistryList::WriteToStream(TIniMemoryStream& stream) const {
    WriteCompactInt(stream, Count());
    for (const TIniRegistryItem& item : items_) {
        const QByteArray name = cp1252::encode(item.Name);
        WriteCompactInt(stream, static_cast<std::int32_t>(name.size()));
        stream.Write(name.constData(), name.size());
        if (item.DataType > initype::Last)
            throw EINIRegistryError(EINIRegistryError::UnknownDataType);
        stream.WriteByte(item.DataType);
        if (item.DataType == initype::Key) {
            if (item.SubKey)
                item.SubKey->WriteToStream(stream);
            else
                WriteCompactInt(stream, 0);
        } else {
            WriteCompactInt(stream, item.ValueSize());
            stream.Write(item.ValueBytes(), item.ValueSize());
        }
    }
}

void TIniRegistryList::ReadFromStream(TIniMemoryStream& stream, int depth) {
    if (depth > MaxDepth)
        throw EStreamReadError("Keys tiefer als " + std::to_string(MaxDepth) +
                               " Ebenen verschachtelt, an Byte " +
                               std::to_string(stream.Position()));
    const std::int32_t count = checkedCount(stream, kMinItemBytes, "Anzahl der Einträge");
    capacity_ = count;
    items_.reserve(static_cast<std::size_t>(count));
    for (std::int32_t i = 0; i < count; ++i) {
        const std::int32_t nameLength = checkedCount(stream, 1, "Namenslänge");
        const QString name = cp1252::decode(QByteArrayView(stream.Memory(), nameLength));
        stream.Seek(stream.Position() + nameLength);
        const std::uint8_t type = stream.ReadByte();
        if (type > initype::Last) throw EINIRegistryError(EINIRegistryError::UnknownDataType);
        TIniRegistryItem& item = items_[static_cast<std::size_t>(Add(name, type))];
        if (type == initype::Key) {
            item.SubKey->ReadFromStream(stream, depth + 1);
            continue;
        }
        const std::int32_t size = ReadCompactInt(stream);
        if (size <= 0) continue;
        if (size > stream.Remaining())
            throw EStreamReadError("Wert von " + std::to_string(size) + " Bytes an Byte " +
                                   std::to_string(stream.Position()) + " passt nicht zu den Daten");
        if (size <= TIniRegistryItem::InlineCapacity) {
            item.InlineSize = static_cast<std::uint8_t>(size);
            stream.Read(item.Data.data(), size);
        } else {
            item.Heap.resize(static_cast<std::size_t>(size));
            stream.Read(item.Heap.data(), size);
        }
    }
}

void TIniRegistryList::Clear() {
    items_.clear();
    items_.shrink_to_fit();
    capacity_ = 0;
}

void TIniRegistryList::TakeItemsFrom(TIniRegistryList& other) {
    items_ = std::move(other.items_);
    capacity_ = other.capacity_;
    other.items_.clear();
    other.capacity_ = 0;
    for (TIniRegistryItem& item : items_)
        if (item.SubKey) item.SubKey->parent_ = this;
}
