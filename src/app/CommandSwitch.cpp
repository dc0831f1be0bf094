#include "CommandSwitch.h"

#include <QAction>

CommandStates SwitchOffCommands(const std::vector<QAction*>& commands) {
    CommandStates states;
    for (QAction* command : commands)
        if (command) states.emplace_back(command, command->isEnabled());
    for (const auto& state : states)
        state.first->setEnabled(false);
    return states;
}

void RestoreCommands(const CommandStates& states) {
    for (const auto& [command, enabled] : states)
        command->setEnabled(enabled);
}
