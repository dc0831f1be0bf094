#include "persistence/SmartTools.h"

TSmartTools::TSmartTools() : iniRegistry_(std::make_unique<TIniRegistry>()) {}

TSmartTools::~TSmartTools() = default;
