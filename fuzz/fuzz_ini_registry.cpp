// Feeds arbitrary bytes to the settings-store loader. It must either refuse
// them with one of its errors or load a tree that saves and reloads to the
// same image; it must never crash, hang or allocate without bound.
#include "persistence/EINIRegistryError.h"
#include "persistence/IniRegistry.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

void readEverything(const TIniRegistryList& key) {
    std::vector<char> buffer;
    for (std::int32_t i = 0; i < key.Count(); ++i) {
        const TIniRegistryItem& item = key.Item(i);
        if (item.DataType == initype::Key) {
            if (!item.SubKey) std::abort();
            if (item.SubKey->Parent() != &key) std::abort();
            readEverything(*item.SubKey);
            continue;
        }
        buffer.resize(static_cast<std::size_t>(key.ValueSize(i)) + 1);
        key.GetValue(i, buffer.data(), static_cast<std::int32_t>(buffer.size()));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray image(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    TIniRegistry store;
    store.WriteString("before", "kept");
    const QByteArray before = store.SaveToBytes();
    try {
        if (!store.LoadFromBytes(image)) {
            if (store.SaveToBytes() != before) std::abort();
            return 0;
        }
    } catch (const EINIRegistryError&) {
        if (store.SaveToBytes() != before) std::abort(); // a failed load changes nothing
        return 0;
    } catch (const EStreamReadError&) {
        if (store.SaveToBytes() != before) std::abort();
        return 0;
    }
    readEverything(store.RootKey());
    const QByteArray saved = store.SaveToBytes();
    TIniRegistry again;
    if (!again.LoadFromBytes(saved) || again.SaveToBytes() != saved) std::abort();
    // The application's own reads: any outcome but a store error is a fault.
    try {
        if (store.OpenKey("\\Spurwerk", false)) store.ReadString("Digits");
    } catch (const EINIRegistryError&) {
    }
    return 0;
}
