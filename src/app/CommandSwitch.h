#pragma once

#include <utility>
#include <vector>

class QAction;

// Commands switched off for the length of a run (a timed recording, live
// mode) and given back their states afterwards.
using CommandStates = std::vector<std::pair<QAction*, bool>>;

// Switches the commands off and answers how they were. Every state is taken
// before any command is switched: some commands follow others ("Importieren
// ..." follows "Öffnen"), and a follower read after its leader would be
// given back "off".
CommandStates SwitchOffCommands(const std::vector<QAction*>& commands);
void RestoreCommands(const CommandStates& states);
