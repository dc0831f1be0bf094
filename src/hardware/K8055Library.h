#pragma once

#include <QString>

// The board library's entry points. The Linux board libraries take and
// return C long where the Windows one used 32-bit integers; results are read
// through their low 32 bits, which is right whether a library returns int or
// long.
namespace k8055 {

using OpenDeviceFn = long (*)(long cardAddress);
using NoArgFn = long (*)();
using ChannelFn = long (*)(long channel);
using ChannelValueFn = long (*)(long channel, long value);
using ReadAllAnalogFn = long (*)(long* data1, long* data2);

// Spurwerk's own board library over libusb, shipped with the program.
inline QString OwnLibraryName() {
    return QStringLiteral("libspurwerk_k8055.so");
}
// The simulated board library of sim/, shipped beside the own one.
inline QString SimulatedLibraryName() {
    return QStringLiteral("libspurwerk_k8055sim.so");
}

// A library to load: a name, and the directory searched first (empty: the
// loader's usual search, beginning with the current directory).
struct LibraryChoice {
    QString name;
    QString directory;
    friend bool operator==(const LibraryChoice&, const LibraryChoice&) = default;
};

// Which board library a run loads: the simulated one for a simulated run, a
// library the user named through the loader's usual search, and otherwise the
// program's own, from beside the program or from the installed library folder.
LibraryChoice ChooseLibrary(bool simulate, const QString& userLibrary, const QString& programDir);

} // namespace k8055
