#pragma once

#include "persistence/IniRegistry.h"

#include <QString>
#include <memory>

// The utility component of the main window: it bundles the settings store
// with the library loader and directory utilities. The main window uses only
// the settings store.
class TSmartTools {
  public:
    TSmartTools();
    ~TSmartTools();
    TSmartTools(const TSmartTools&) = delete;
    TSmartTools& operator=(const TSmartTools&) = delete;

    static QString About() { return QStringLiteral("1.0.1.8"); }

    TIniRegistry& INIRegistry() { return *iniRegistry_; }
    const TIniRegistry& INIRegistry() const { return *iniRegistry_; }

  private:
    std::unique_ptr<TIniRegistry> iniRegistry_;
};
