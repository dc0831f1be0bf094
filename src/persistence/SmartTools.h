#pragma once

#include "persistence/IniRegistry.h"
#include "support/TDLLoader.h"
#include "support/TovFileUtils.h"

#include <QString>
#include <memory>

class Desktop;

// The utility component of the main window: it bundles the settings store
// with a library loader and the directory utilities. The main window uses only
// the settings store; the loader stays inactive.
class TSmartTools {
  public:
    // The library loader reports through a desktop, so it exists only when
    // one is given; without it DLL_Loader() is null.
    TSmartTools();
    explicit TSmartTools(Desktop& desktop);
    ~TSmartTools();
    TSmartTools(const TSmartTools&) = delete;
    TSmartTools& operator=(const TSmartTools&) = delete;

    static QString About() { return QStringLiteral("1.0.1.8"); }

    TIniRegistry& INIRegistry() { return *iniRegistry_; }
    const TIniRegistry& INIRegistry() const { return *iniRegistry_; }
    TDLLoader* DLL_Loader() { return dllLoader_.get(); }
    TovFileUtils& File_Utils() { return *fileUtils_; }

  private:
    std::unique_ptr<TIniRegistry> iniRegistry_;
    std::unique_ptr<TDLLoader> dllLoader_;
    std::unique_ptr<TovFileUtils> fileUtils_;
};
