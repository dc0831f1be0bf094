#pragma once

#include "MainUi.h"

class QMainWindow;
class QWidget;

// Creates the tool panel, the scroll bar, the status bar with its five
// panels, the hidden bit indicators and the three timers of the main window,
// with their captions, hints and start-up states.
MainUi BuildMainUi(QMainWindow& window, QWidget& central);

// The window's image list, as far as the menu uses it: 50 and 54 mark the
// chosen parallel-port and USB source, 51 and 55 the ones not chosen.
class QIcon;
QIcon ImageListIcon(int index);

// Height of the tool panel above the diagram.
constexpr int kToolPanelHeight = 40;
// Height of the overview strip above the scroll bar; the diagram gives it up.
constexpr int kOverviewHeight = 50;
