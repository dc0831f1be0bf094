#include "hardware/K8055Library.h"

#include "support/InstallLayout.h"

namespace k8055 {

LibraryChoice ChooseLibrary(bool simulate, const QString& userLibrary, const QString& programDir) {
    if (!simulate && !userLibrary.isEmpty()) return {userLibrary, QString()};
    const QString name = simulate ? SimulatedLibraryName() : OwnLibraryName();
    return {name, install::DirectoryWith(name, programDir, install::LibraryDirectory(programDir))};
}

} // namespace k8055
