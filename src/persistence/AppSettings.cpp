#include "persistence/AppSettings.h"

#include "display/TTrazor.h"
#include "persistence/IniRegistry.h"
#include "platform/Conversion.h"

#include <cstdint>

namespace {

// Every routine leaves the store at its root, also when an error ends it.
class RootOnExit {
  public:
    explicit RootOnExit(TIniRegistry& store) : store_(store) {}
    ~RootOnExit() { store_.CloseKey(); }
    RootOnExit(const RootOnExit&) = delete;
    RootOnExit& operator=(const RootOnExit&) = delete;

  private:
    TIniRegistry& store_;
};

// Colours are stored as signed decimal text: system colours, whose top bit is
// set, appear as negative numbers.
QString colorText(TColor color) {
    return QString::number(static_cast<std::int32_t>(color));
}
TColor colorValue(const QString& text) {
    return static_cast<TColor>(StrToInt(text));
}

QString numbered(const char* family, int k) {
    return QString::fromLatin1(family) + QString::number(k);
}

} // namespace

bool EnsureSettingsKey(TIniRegistry& store, const TTrazor& trazor, const QString& fileName) {
    {
        const RootOnExit root(store);
        if (store.OpenKey(appsettings::SettingsKey, false)) return true;
    }
    StoreSettings(store, trazor);
    store.SaveToFile(fileName);
    return false;
}

void ApplySettings(TIniRegistry& store, TTrazor& trazor) {
    const RootOnExit root(store);
    if (!store.OpenKey(appsettings::SettingsKey, false)) return;
    // Every option draws the diagram again; applied together they draw once.
    const TTrazor::DeferredDrawing once(trazor);
    TTrazorproperty& option = trazor.Option();
    option.SetDigits(StrToInt(store.ReadString("Digits")));
    option.SetTimeScale(StrToInt(store.ReadString("TimeScale")));
    option.SetTimeStep(StrToInt(store.ReadString("TimeStep")));
    option.SetTimeUnit(store.ReadString("TimeUnit"));
    option.SetColorBackground(colorValue(store.ReadString("Hintergrundfarbe")));
    option.SetColorMarker(colorValue(store.ReadString("Markerfarbe")));
    option.SetColorScale(colorValue(store.ReadString("Zeitachsenfarbe")));
    option.SetColorFont(colorValue(store.ReadString("Fontfarbe")));
    for (int k = 1; k <= 16; ++k)
        option.DigiColor().Set(k - 1, colorValue(store.ReadString(numbered("Liniefarbe", k))));
    for (int k = 1; k <= 16; ++k)
        option.DigiName().Set(k - 1, store.ReadString(numbered("BitText", k)));
}

void StoreSettings(TIniRegistry& store, const TTrazor& trazor) {
    const RootOnExit root(store);
    store.OpenKey(appsettings::SettingsKey, true);
    const TTrazorproperty& option = trazor.Option();
    store.WriteString("Digits", QString::number(option.Digits()));
    store.WriteString("TimeScale", QString::number(option.TimeScale()));
    store.WriteString("TimeStep", QString::number(option.TimeStep()));
    store.WriteString("TimeUnit", option.TimeUnit());
    store.WriteString("Hintergrundfarbe", colorText(option.ColorBackground()));
    store.WriteString("Markerfarbe", colorText(option.ColorMarker()));
    store.WriteString("Zeitachsenfarbe", colorText(option.ColorScale()));
    store.WriteString("Fontfarbe", colorText(option.ColorFont()));
    for (int k = 1; k <= 16; ++k)
        store.WriteString(numbered("Liniefarbe", k), colorText(option.DigiColor().Get(k - 1)));
    for (int k = 1; k <= 16; ++k)
        store.WriteString(numbered("BitText", k), option.DigiName().Get(k - 1));
}

bool LoadSettingsAtStartup(TIniRegistry& store, TTrazor& trazor, const QString& fileName,
                           const std::function<void()>& afterLoad) {
    if (!store.LoadFromFile(fileName)) return false;
    if (afterLoad) afterLoad();
    if (!EnsureSettingsKey(store, trazor, fileName)) return false;
    ApplySettings(store, trazor);
    return true;
}

void SaveSettings(TIniRegistry& store, const TTrazor& trazor, const QString& fileName) {
    StoreSettings(store, trazor);
    store.SaveToFile(fileName);
}
