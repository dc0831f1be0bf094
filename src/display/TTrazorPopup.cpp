#include "display/TTrazorPopup.h"

#include "display/MarkerRecord.h"
#include "display/TTrazor.h"
#include "platform/Desktop.h"
#include "platform/Guard.h"

#include <QAction>
#include <QMenu>

namespace {

QAction* addItem(QMenu* menu, const QString& caption, const QString& name, bool enabled = true) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(name);
    action->setEnabled(enabled);
    return action;
}

QMenu* addSubmenu(QMenu* parent, const QString& caption, const QString& name, bool enabled) {
    QMenu* menu = parent->addMenu(caption);
    menu->setObjectName(name);
    menu->menuAction()->setObjectName(name);
    menu->setEnabled(enabled);
    return menu;
}

QString markerCaption(const char* word, int m) {
    return QString::fromUtf8(word) + QString::number(m);
}

} // namespace

TTrazorPopup::TTrazorPopup(TTrazor& trazor, Desktop& desktop)
    : trazor_(trazor), desktop_(desktop), menu_(std::make_unique<QMenu>()) {
    QMenu* menu = menu_.get();
    menu->setObjectName(QStringLiteral("TrazorPopup1"));

    addItem(menu, QStringLiteral("Positionsmarken"), QStringLiteral("Positionsmarken"), false);
    menu->addSeparator()->setObjectName(QStringLiteral("Empty1"));
    QMenu* threePoint =
        addSubmenu(menu, QStringLiteral("Dreipunkt"), QStringLiteral("Dreipunkt1"), true);
    for (int m = 1; m <= 4; ++m) {
        QAction* item = addItem(threePoint, markerCaption("Startmarke", m),
                                QStringLiteral("Startmarke%1").arg(m));
        item->setCheckable(true);
        item->setChecked(false);
        connect(item, &QAction::triggered, this,
                guard::Slot(&desktop_, [this, m] { markerItemClicked(m); }));
        markerItems_[m - 1] = item;
    }

    addItem(menu, QStringLiteral("Zeitfunktion"), QStringLiteral("Zeitfunktion"), false);
    menu->addSeparator()->setObjectName(QStringLiteral("Empty2"));
    QMenu* frequency =
        addSubmenu(menu, QStringLiteral("Frequenz"), QStringLiteral("Frequenz1"), true);
    for (int m = 1; m <= 4; ++m)
        frequencyMenus_[m - 1] = buildLineMenu(frequency, m, true);
    QMenu* time =
        addSubmenu(menu, QStringLiteral("Zeitlänge"), QStringLiteral("Zeitlaenge1"), true);
    for (int m = 1; m <= 4; ++m)
        timeMenus_[m - 1] = buildLineMenu(time, m, false);

    menu->addSeparator()->setObjectName(QStringLiteral("Empty3"));
    QMenu* edit =
        addSubmenu(menu, QStringLiteral("Bearbeiten"), QStringLiteral("Bearbeiten1"), true);
    QMenu* move =
        addSubmenu(edit, QStringLiteral("Verschieben"), QStringLiteral("Verschieben1"), true);
    for (int m = 1; m <= 4; ++m)
        addItem(move, markerCaption("Verschieben von Marke", m),
                QStringLiteral("Verschiebenmarke%1").arg(m));
    QMenu* copy = addSubmenu(edit, QStringLiteral("Kopieren"), QStringLiteral("Kopieren1"), true);
    for (int m = 1; m <= 4; ++m)
        addItem(copy, markerCaption("Kopieren von Marke", m),
                QStringLiteral("Kopiermarke%1").arg(m));
}

TTrazorPopup::~TTrazorPopup() = default;

QMenu* TTrazorPopup::buildLineMenu(QMenu* parent, int m, bool frequency) {
    const QString caption =
        frequency ? QStringLiteral("M%1 [Hz]").arg(m) : QStringLiteral("M%1 t/[s]").arg(m);
    const QString prefix =
        frequency ? QStringLiteral("M%1Frqbit").arg(m) : QStringLiteral("M%1Timebit").arg(m);
    QMenu* sub = addSubmenu(parent, caption, prefix + QStringLiteral("0to15"), false);
    for (int i = 0; i < 16; ++i) {
        // Qt menus have no column break: a separator parts lines 0..7 from 8..15.
        if (i == 8) sub->addSeparator()->setObjectName(prefix + QStringLiteral("Break"));
        QAction* item =
            addItem(sub, QStringLiteral("Bit  %1").arg(i), prefix + QString::number(i), false);
        if (frequency) {
            connect(item, &QAction::triggered, this,
                    guard::Slot(&desktop_, [this, m, i] { trazor_.ShowFrequency(m, i); }));
            frequencyItems_[m - 1][i] = item;
        } else {
            connect(item, &QAction::triggered, this,
                    guard::Slot(&desktop_, [this, m, i] { trazor_.ShowTimeMeasurement(m, i); }));
            timeItems_[m - 1][i] = item;
        }
    }
    return sub;
}

void TTrazorPopup::setMeasurementsEnabled(int m, bool enabled) {
    frequencyMenus_[m - 1]->setEnabled(enabled);
    timeMenus_[m - 1]->setEnabled(enabled);
}

void TTrazorPopup::markerItemClicked(int m) {
    QAction* item = markerItems_[m - 1];
    // A checkable action toggles itself on trigger; the check mark belongs to
    // the marker's state, so it is set back before anything else.
    const bool wasChecked = !item->isChecked();
    item->setChecked(wasChecked);

    const int result = trazor_.PlaceMarker(m);
    if (wasChecked) {
        desktop_.Beep();
        setMeasurementsEnabled(m, false);
        item->setChecked(false);
        item->setText(m == 1 ? QStringLiteral("Startmarke 1") : markerCaption("Startmarke", m));
        trazor_.ResetMarker(m);
        const int pos = trazor_.Option().CellsPos();
        trazor_.Redraw();
        trazor_.DrawScale(pos);
        trazor_.DrawBaseLines();
        trazor_.DrawSignals();
        return;
    }
    if (result == trazor::PlacedStart) {
        item->setText(markerCaption("Mittelmarke", m));
    } else if (result == trazor::PlacedMiddle) {
        item->setText(markerCaption("Endmarke", m));
    } else if (result == m) {
        item->setChecked(true);
        item->setText(markerCaption("Marke", m) + QStringLiteral(" löschen"));
        setMeasurementsEnabled(m, true);
    }
}

void TTrazorPopup::SetDigits(int v) {
    if (v == digits_) return;
    digits_ = v;
    for (int m = 0; m < 4; ++m)
        for (int i = 0; i < 16; ++i) {
            frequencyItems_[m][i]->setEnabled(i < v);
            timeItems_[m][i]->setEnabled(i < v);
        }
}
