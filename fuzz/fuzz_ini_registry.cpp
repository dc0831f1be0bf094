// Feeds arbitrary bytes to the settings-store loader and from there to the
// display, as start-up does. The loader must either refuse the bytes with one
// of its errors or load a tree that saves and reloads to the same image; the
// values applied must leave the display in a state it can draw, and storing
// and applying them again must give the same options. Nothing may crash,
// hang, allocate without bound or step into undefined behaviour.
#include "FuzzDisplay.h"
#include "display/TTrazor.h"
#include "persistence/AppSettings.h"
#include "persistence/EINIRegistryError.h"
#include "persistence/IniRegistry.h"
#include "platform/Conversion.h"

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

// Applies the settings as start-up does; false when they end with one of the
// errors start-up reports (the options read before stay applied).
bool apply(TIniRegistry& store, TTrazor& trazor) {
    try {
        ApplySettings(store, trazor);
    } catch (const EINIRegistryError&) {
        return false;
    } catch (const EConvertError&) {
        return false;
    }
    return true;
}

// Resets the display and applies the settings as start-up does, drawn once;
// false as apply() says. `stored` receives the options as they came out.
bool applyFresh(fuzzdisplay::Display& display, TIniRegistry& store, TIniRegistry& stored) {
    TTrazor& trazor = display.Trazor();
    const TTrazor::DeferredDrawing once(trazor);
    display.Fresh(8192);
    const bool complete = apply(store, trazor);
    StoreSettings(stored, trazor);
    trazor.Redraw();
    trazor.DrawSignals();
    return complete;
}

// The display must also scroll and zoom with whatever was applied.
void move(TTrazor& trazor) {
    trazor.ScrollForward(3);
    trazor.ChangeTimeStep(-1);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzzdisplay::StartApplication();
    return 0;
}

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

    // The settings as start-up applies them, on the display it draws.
    static fuzzdisplay::Display display;
    TTrazor& trazor = display.Trazor();
    // The options as they came out of their setters, stored and applied to a
    // fresh display again, must come out the same: the setters' limits hold.
    TIniRegistry restored;
    if (applyFresh(display, store, restored)) {
        TIniRegistry compared;
        if (!applyFresh(display, restored, compared)) std::abort();
        if (compared.SaveToBytes() != restored.SaveToBytes()) std::abort();
    }
    // After the round trip the options are those of the first pass: moving
    // once shows both.
    move(trazor);
    display.Finish();
    return 0;
}
