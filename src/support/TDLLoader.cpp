#include "support/TDLLoader.h"

#include "platform/Desktop.h"

#include <dlfcn.h>

namespace {
// Names were copied into a buffer of 1024 characters with its terminator; a
// longer one is not looked up rather than looked up cut short.
constexpr int MaxProcName = 1023;
} // namespace

TDLLoader::TDLLoader(Desktop& desktop, const QString& dllName)
    : desktop_(desktop), dllName_(dllName), fileUtils_(std::make_unique<TovFileUtils>()) {}

TDLLoader::~TDLLoader() {
    SetActivate_DLL(false);
    fileUtils_.reset();
}

void TDLLoader::SetActivate_DLL(bool value) {
    if (value == active_) return;
    if (value) {
        handle_ = fileUtils_->LoadDLL(dllName_);
        active_ = handle_ != nullptr;
        if (!active_)
            desktop_.MessageBox(
                {QStringLiteral("DLL - Error"),
                 QStringLiteral("Unable to load ") + dllName_ + QStringLiteral(" !"),
                 Desktop::Icon::Error, Desktop::Ok});
        return;
    }
    fileUtils_->FreeDLL();
    handle_ = nullptr;
    active_ = false;
}

void TDLLoader::SetSearch_DLL(bool value) {
    if (!value) return;
    if (!TovFileUtils::FindFile(dllName_))
        desktop_.MessageBox({QStringLiteral("error"),
                             QStringLiteral("Unable to find ") + dllName_ + QStringLiteral(" !"),
                             Desktop::Icon::Error, Desktop::Ok});
}

void* TDLLoader::GetProc(const QString& name) const {
    if (!handle_ || name.isEmpty() || name.size() > MaxProcName) return nullptr;
    return dlsym(handle_, name.toLatin1().constData());
}
