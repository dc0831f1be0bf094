#pragma once

#include <QObject>
#include <QString>
#include <array>
#include <memory>

class Desktop;
class QAction;
class QMenu;
class TTrazor;

// The diagram's context menu: placing and deleting the four markers and, once
// a marker is complete, time and frequency measurements for the shown lines.
class TTrazorPopup : public QObject {
    Q_OBJECT
  public:
    TTrazorPopup(TTrazor& trazor, Desktop& desktop);
    ~TTrazorPopup() override;

    // The menu "TrazorPopup1"; owned by this component.
    QMenu* popup() const { return menu_.get(); }

    int Digits() const { return digits_; }
    // Enables the line items 0 .. v-1 of every measurement submenu.
    void SetDigits(int v);

    // Item "Startmarke<m>" (m = 1..4) and the measurement submenus of marker m.
    QAction* MarkerItem(int m) const { return markerItems_[m - 1]; }
    QMenu* FrequencyMenu(int m) const { return frequencyMenus_[m - 1]; }
    QMenu* TimeMenu(int m) const { return timeMenus_[m - 1]; }
    // Line item i (0..15) of marker m's frequency or time submenu.
    QAction* FrequencyItem(int m, int i) const { return frequencyItems_[m - 1][i]; }
    QAction* TimeItem(int m, int i) const { return timeItems_[m - 1][i]; }

  private:
    void markerItemClicked(int m);
    QMenu* buildLineMenu(QMenu* parent, int m, bool frequency);
    void setMeasurementsEnabled(int m, bool enabled);

    TTrazor& trazor_;
    Desktop& desktop_;
    std::unique_ptr<QMenu> menu_;
    int digits_ = 0;
    std::array<QAction*, 4> markerItems_{};
    std::array<QMenu*, 4> frequencyMenus_{};
    std::array<QMenu*, 4> timeMenus_{};
    std::array<std::array<QAction*, 16>, 4> frequencyItems_{};
    std::array<std::array<QAction*, 16>, 4> timeItems_{};
};
