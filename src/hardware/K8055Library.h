#pragma once

#include <QString>

// The board library's entry points. The Linux board library (libk8055) takes
// and returns C long where the Windows one used 32-bit integers; results are
// read through their low 32 bits, which is right whether the library returns
// int or long.
namespace k8055 {

using OpenDeviceFn = long (*)(long cardAddress);
using NoArgFn = long (*)();
using ChannelFn = long (*)(long channel);
using ChannelValueFn = long (*)(long channel, long value);
using ReadAllAnalogFn = long (*)(long* data1, long* data2);

// An installed libk8055 provides this name (/usr/local/lib/libk8055.so.0).
inline QString DefaultLibraryName() {
    return QStringLiteral("libk8055.so.0");
}
// The simulated board library of sim/, built beside the program.
inline QString SimulatedLibraryName() {
    return QStringLiteral("libspurwerk_k8055sim.so");
}

} // namespace k8055
