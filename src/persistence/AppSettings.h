#pragma once

#include <QString>
#include <functional>

class TIniRegistry;
class TTrazor;

// The display options kept between runs: 40 string values in the key
// "Spurwerk" below the store's root, in the file Spurwerk.ini of the process's
// current directory.
namespace appsettings {
// File name (the store adds ".ini") and the key that holds the values.
inline const QString SettingsName = QStringLiteral("Spurwerk");
inline const QString SettingsKey = QStringLiteral("Spurwerk");
} // namespace appsettings

// True when the key exists in the loaded store. When it does not, the current
// options are stored as the defaults and the store saved to `fileName`.
bool EnsureSettingsKey(TIniRegistry& store, const TTrazor& trazor,
                       const QString& fileName = appsettings::SettingsName);
// Reads every value and hands it to the option's setter, in the order the
// values are written. A missing value raises EINIRegistryError (code 9), a
// malformed number EConvertError; the options set before stay set.
void ApplySettings(TIniRegistry& store, TTrazor& trazor);
// Writes every option into its value; the store is not saved.
void StoreSettings(TIniRegistry& store, const TTrazor& trazor);

// Start-up: load the store, make sure the key exists, apply it. Returns true
// when settings were applied, so the main window sets the line-count check
// marks from the loaded Digits. Store and conversion errors propagate.
// `afterLoad` runs on a loaded store before anything is completed or applied.
bool LoadSettingsAtStartup(TIniRegistry& store, TTrazor& trazor,
                           const QString& fileName = appsettings::SettingsName,
                           const std::function<void()>& afterLoad = {});
// "Einstellung speichern": StoreSettings, then save to `fileName`.
void SaveSettings(TIniRegistry& store, const TTrazor& trazor,
                  const QString& fileName = appsettings::SettingsName);
