#pragma once

#include "support/TovFileUtils.h"

#include <QString>
#include <memory>

class Desktop;

// A named shared library that is loaded and unloaded by switching
// Activate_DLL, with lookup of its exported functions by name.
class TDLLoader {
  public:
    explicit TDLLoader(Desktop& desktop, const QString& dllName = QString());
    ~TDLLoader();
    TDLLoader(const TDLLoader&) = delete;
    TDLLoader& operator=(const TDLLoader&) = delete;

    QString DLLName() const { return dllName_; }
    void SetDLLName(const QString& name) { dllName_ = name; }

    bool Activate_DLL() const { return active_; }
    // True loads DLLName (a message box "Unable to load ..." when that fails),
    // false unloads it; the current value again does nothing.
    void SetActivate_DLL(bool value);

    // A one-shot check whether DLLName is found; always reads false.
    bool Search_DLL() const { return false; }
    void SetSearch_DLL(bool value);

    // The exported function of that name, or null when it is missing or no
    // library is loaded.
    void* GetProc(const QString& name) const;

    // The directories the library is loaded from (preset Path_CurrProgram here).
    TovFileUtils& FileUtils() { return *fileUtils_; }

  private:
    Desktop& desktop_;
    QString dllName_;
    bool active_ = false;
    void* handle_ = nullptr;
    std::unique_ptr<TovFileUtils> fileUtils_;
};
