#pragma once

class QMenuBar;

// Builds the main menu with every item's caption, object name, shortcut,
// check behaviour, start-up enabled state and help context number (kept in
// the action's "helpContext" property). Commands are connected elsewhere.
void BuildMainMenu(QMenuBar* bar);

// The help context number carried by a menu item, or 0 when it has none.
class QAction;
int HelpContextOf(const QAction* action);
