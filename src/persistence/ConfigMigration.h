#pragma once

#include <QString>

class ProgramConfig;
class TIniRegistry;

// Earlier versions kept the sigrok device and the decoder stacks beside the
// display options, in keys of their own at the root of Spurwerk.ini. Moves
// such a key over once: its text and number values become the values of the
// configuration group of the same name, unless that group already exists
// there, and the key leaves the store in memory, so that the next
// "Einstellung speichern" writes the display options alone. The settings file
// itself is not written here. Raises EFileError when the configuration cannot
// be written; the key then stays in the store.
void MoveKeyToConfig(TIniRegistry& store, const QString& key, ProgramConfig& config);
