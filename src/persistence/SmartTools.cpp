#include "persistence/SmartTools.h"

TSmartTools::TSmartTools()
    : iniRegistry_(std::make_unique<TIniRegistry>()), fileUtils_(std::make_unique<TovFileUtils>()) {
}

TSmartTools::TSmartTools(Desktop& desktop)
    : iniRegistry_(std::make_unique<TIniRegistry>()),
      dllLoader_(std::make_unique<TDLLoader>(desktop)),
      fileUtils_(std::make_unique<TovFileUtils>()) {}

TSmartTools::~TSmartTools() = default;
