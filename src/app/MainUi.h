#pragma once

#include <array>

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QProgressBar;
class QScrollBar;
class QStatusBar;
class QTimer;
class QToolButton;
class BusRows;
class TOverview;
class QWidget;
class ElidedLabel;
class UpDownPair;

// The widgets of the main window that commands read and change. The window
// owns them through Qt parenthood; this struct only points at them.
struct MainUi {
    QWidget* ToolPanel = nullptr;
    QLabel* Label11 = nullptr; // "Port:"
    QFrame* Shape1 = nullptr;  // port indicator behind the source label
    QLabel* Portzustand = nullptr;
    QLabel* Label1 = nullptr; // "Zeitachse"
    QLabel* Label2 = nullptr; // "Auflösung"
    QLabel* Label7 = nullptr; // "Aufzeichnen"
    UpDownPair* ButtonZeitachsenEinheit_1 = nullptr;
    UpDownPair* ButtonZeitachsenEinheit_200 = nullptr;
    QToolButton* ButtonScaleTimeUp = nullptr;
    QToolButton* ButtonScaleTimeDown = nullptr;
    QComboBox* ScaleTimeComboBox1 = nullptr;
    QToolButton* ButtonRecord_Signal = nullptr;
    QToolButton* ButtonStop_Scan = nullptr;
    QToolButton* ButtonPlay_Scan = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    QScrollBar* ScrollBar1 = nullptr;
    QStatusBar* StatusBar1 = nullptr;
    std::array<QLabel*, 5> Panels{};
    // A second status row under the scroll bar, for what the program tells
    // beyond the five panels (which keep their texts whole): fields beyond
    // the five go here, in this order.
    QWidget* InfoBar = nullptr;
    // Measured timing, hints and warnings: TMain1::SetInfo.
    ElidedLabel* PanelInfo = nullptr;
    // The measurement of the pulse under the pointer, shown while it is on a line.
    QLabel* PanelReadout = nullptr;
    // The measuring cursors' times, Δt and 1/Δt, shown while a cursor is set.
    QLabel* PanelCursors = nullptr;
    // The whole buffer above the scroll bar; made by the window with the diagram.
    TOverview* Overview1 = nullptr;
    // The bus rows under the diagram (no height while there is no bus); made
    // by the window with the diagram.
    BusRows* BusRows1 = nullptr;
    std::array<QCheckBox*, 8> Bits{}; // d1 .. d8
    QLabel* MarkerOriginLabel = nullptr;
    QLabel* MarkerStopLabel = nullptr;
    QTimer* SimultanTimer1 = nullptr;
    QTimer* Timer2 = nullptr;
    QTimer* Timer4 = nullptr;
};
