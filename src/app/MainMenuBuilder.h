#pragma once

#include "MainActions.h"

class QMenuBar;

// Builds the main menu with every item's caption, object name, shortcut,
// check behaviour, start-up enabled state and help context number.
// Commands are connected elsewhere, to the items it answers.
MainActions BuildMainMenu(QMenuBar* bar);
