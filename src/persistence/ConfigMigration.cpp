#include "persistence/ConfigMigration.h"

#include "persistence/IniRegistry.h"
#include "persistence/ProgramConfig.h"

#include <exception>

void MoveKeyToConfig(TIniRegistry& store, const QString& key, ProgramConfig& config) {
    TIniRegistryList& root = store.RootKey();
    const std::int32_t at = root.IndexOf(key);
    if (at < 0) return;
    if (root.Item(at).DataType == initype::Key && config.Group(key).empty()) {
        ProgramConfig::Entries entries;
        store.OpenKey(key, false);
        const TIniRegistryList& values = *store.CurrentKey();
        for (std::int32_t i = 0; i < values.Count(); ++i) {
            const TIniRegistryItem& item = values.Item(i);
            if (!ProgramConfig::UsableName(item.Name)) continue;
            try {
                if (item.DataType == initype::String)
                    entries.emplace_back(item.Name, store.ReadString(item.Name));
                else if (item.DataType == initype::Integer)
                    entries.emplace_back(item.Name, QString::number(store.ReadInteger(item.Name)));
            } catch (const std::exception&) {
                // A damaged value is left behind; the reader passes its group over then.
            }
        }
        store.CloseKey();
        config.SetGroup(key, entries);
    }
    root.Delete(at);
}
