#include "TrazorFixture.h"
#include "display/TTrazorPopup.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>
#include <QMouseEvent>
#include <stdexcept>

class Popup : public TrazorFixture {
  protected:
    TTrazorPopup& popup() { return trazor->Popup(); }
    QMenu* menu() { return popup().popup(); }
    template <typename T> T* find(const char* name) {
        return menu()->findChild<T*>(QString::fromLatin1(name));
    }
    void rightClick(int x, int y) {
        QMouseEvent event(QEvent::MouseButtonPress, QPointF(x, y), QPointF(x, y), Qt::RightButton,
                          Qt::RightButton, Qt::NoModifier);
        QCoreApplication::sendEvent(trazor, &event);
        menu()->hide();
    }
    QStringList captions(QMenu* m) {
        QStringList list;
        for (QAction* a : m->actions())
            list << (a->isSeparator() ? QStringLiteral("-") : a->text());
        return list;
    }
};

TEST_F(Popup, MenuTreeCaptionsAndNames) {
    EXPECT_EQ(menu()->objectName(), QStringLiteral("TrazorPopup1"));
    EXPECT_EQ(trazor->PopupMenu(), menu());
    EXPECT_EQ(captions(menu()),
              (QStringList{"Positionsmarken", "-", "Dreipunkt", "Zeitfunktion", "-", "Frequenz",
                           QStringLiteral("Zeitlänge"), "-", "Bearbeiten"}));
    const QList<QAction*> top = menu()->actions();
    const QStringList names{"Positionsmarken", "Empty1", "Dreipunkt1",
                            "Zeitfunktion",    "Empty2", "Frequenz1",
                            "Zeitlaenge1",     "Empty3", "Bearbeiten1"};
    for (int i = 0; i < top.size(); ++i)
        EXPECT_EQ(top[i]->objectName(), names[i]);
    EXPECT_FALSE(top[0]->isEnabled());
    EXPECT_FALSE(top[3]->isEnabled());

    EXPECT_EQ(captions(find<QMenu>("Dreipunkt1")),
              (QStringList{"Startmarke1", "Startmarke2", "Startmarke3", "Startmarke4"}));
    EXPECT_EQ(captions(find<QMenu>("Frequenz1")),
              (QStringList{"M1 [Hz]", "M2 [Hz]", "M3 [Hz]", "M4 [Hz]"}));
    EXPECT_EQ(captions(find<QMenu>("Zeitlaenge1")),
              (QStringList{"M1 t/[s]", "M2 t/[s]", "M3 t/[s]", "M4 t/[s]"}));
    EXPECT_EQ(captions(find<QMenu>("Bearbeiten1")), (QStringList{"Verschieben", "Kopieren"}));
    EXPECT_EQ(captions(find<QMenu>("Kopieren1")),
              (QStringList{"Kopieren von Marke1", "Kopieren von Marke2", "Kopieren von Marke3",
                           "Kopieren von Marke4"}));
    EXPECT_EQ(find<QMenu>("Verschieben1")->actions()[2]->text(),
              QStringLiteral("Verschieben von Marke3"));
    EXPECT_NE(find<QAction>("Verschiebenmarke4"), nullptr);
    EXPECT_NE(find<QAction>("Kopiermarke4"), nullptr);

    QMenu* m3time = find<QMenu>("M3Timebit0to15");
    ASSERT_NE(m3time, nullptr);
    EXPECT_EQ(m3time, popup().TimeMenu(3));
    QAction* bit12 = find<QAction>("M3Timebit12");
    ASSERT_NE(bit12, nullptr);
    EXPECT_EQ(bit12->text(), QStringLiteral("Bit  12"));
    EXPECT_EQ(bit12, popup().TimeItem(3, 12));
    EXPECT_EQ(find<QAction>("M4Frqbit15"), popup().FrequencyItem(4, 15));
}

TEST_F(Popup, MeasurementItemsFollowDigits) {
    for (int m = 1; m <= 4; ++m) {
        EXPECT_FALSE(popup().FrequencyMenu(m)->isEnabled());
        EXPECT_FALSE(popup().TimeMenu(m)->isEnabled());
    }
    for (int digits : {8, 12, 1, 16}) {
        trazor->Option().SetDigits(digits);
        EXPECT_EQ(popup().Digits(), digits);
        for (int m = 1; m <= 4; ++m)
            for (int i = 0; i < 16; ++i) {
                EXPECT_EQ(popup().FrequencyItem(m, i)->isEnabled(), i < digits) << m << " " << i;
                EXPECT_EQ(popup().TimeItem(m, i)->isEnabled(), i < digits) << m << " " << i;
            }
    }
    // An unchanged value leaves the items alone.
    popup().FrequencyItem(1, 3)->setEnabled(false);
    popup().SetDigits(16);
    EXPECT_FALSE(popup().FrequencyItem(1, 3)->isEnabled());
}

TEST_F(Popup, RightClickStoresThePositionAndMarkersWalkTheirCaptions) {
    QAction* item = popup().MarkerItem(2);
    const QStringList walk{"Mittelmarke2", "Endmarke2", QStringLiteral("Marke2 löschen")};
    for (int step = 0; step < 3; ++step) {
        rightClick(100 + 60 * step, 80);
        EXPECT_EQ(trazor->MouseX(), 100 + 60 * step);
        item->trigger();
        EXPECT_EQ(item->text(), walk[step]);
        EXPECT_EQ(item->isChecked(), step == 2);
        EXPECT_EQ(popup().FrequencyMenu(2)->isEnabled(), step == 2);
        EXPECT_EQ(popup().TimeMenu(2)->isEnabled(), step == 2);
        // The entry in the parent menu is what the user sees greyed out.
        EXPECT_EQ(popup().TimeMenu(2)->menuAction()->isEnabled(), step == 2);
    }
    EXPECT_EQ(trazor->Markers(2).Points[0].CellIndex, 1);
    EXPECT_EQ(trazor->Markers(2).Points[1].CellIndex, 3);
    EXPECT_EQ(trazor->Markers(2).Points[2].CellIndex, 5);
    EXPECT_EQ(pixel(160, 100), colors::Green);
    EXPECT_EQ(desktop.beeps(), 0);

    rightClick(400, 80);
    item->trigger();
    EXPECT_EQ(desktop.beeps(), 1);
    EXPECT_EQ(item->text(), QStringLiteral("Startmarke2"));
    EXPECT_FALSE(item->isChecked());
    EXPECT_FALSE(popup().FrequencyMenu(2)->isEnabled());
    EXPECT_FALSE(popup().TimeMenu(2)->isEnabled());
    EXPECT_FALSE(popup().FrequencyMenu(2)->menuAction()->isEnabled());
    EXPECT_TRUE(trazor->Markers(2).Points[0].IsFree);
    EXPECT_EQ(pixel(160, 100), colors::White); // the lines are gone
}

TEST_F(Popup, DeletedMarkerOneComesBackWithABlank) {
    QAction* item = popup().MarkerItem(1);
    for (int i = 0; i < 4; ++i)
        item->trigger();
    EXPECT_EQ(item->text(), QStringLiteral("Startmarke 1"));
    item->trigger();
    EXPECT_EQ(item->text(), QStringLiteral("Mittelmarke1"));
}

TEST_F(Popup, LineItemsMeasureTheirMarkerAndLine) {
    trazor->Option().SetTimefactor(10);
    for (int i = 0; i < 3; ++i)
        popup().MarkerItem(3)->trigger();
    popup().TimeItem(3, 5)->trigger();
    popup().FrequencyItem(3, 6)->trigger();
    const auto messages = desktop.messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].caption, QStringLiteral("Marker-Nr.: 3  - Bit Nr. : 5 "));
    EXPECT_TRUE(messages[0].text.startsWith(QStringLiteral("Gesamtzeit ---> 0 µs")));
    EXPECT_EQ(messages[1].caption, QStringLiteral("Marker-Nr.: 3  - Bit Nr. : 6 "));
    EXPECT_EQ(messages[1].text, QStringLiteral("Frequenz nicht ermittelbar!"));
}

TEST_F(Popup, CopyAndMoveItemsChangeNothing) {
    popup().MarkerItem(3)->trigger();
    const QImage before = trazor->Bitmap().copy();
    find<QAction>("Kopiermarke3")->trigger();
    find<QAction>("Verschiebenmarke3")->trigger();
    EXPECT_EQ(trazor->Bitmap(), before);
    EXPECT_EQ(popup().MarkerItem(3)->text(), QStringLiteral("Mittelmarke3"));
    EXPECT_TRUE(desktop.calls.empty());
}

TEST_F(Popup, MouseMovesAreAnnounced) {
    int moves = 0;
    QObject::connect(trazor, &TTrazor::mouseMovedOverDisplay, [&moves] { ++moves; });
    QMouseEvent event(QEvent::MouseMove, QPointF(5, 5), QPointF(5, 5), Qt::NoButton, Qt::NoButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(trazor, &event);
    EXPECT_EQ(moves, 1);
    EXPECT_EQ(trazor->Option().Marker().MOrigin(), 0);
    EXPECT_EQ(trazor->Option().Marker().MStop(), 0);
}

TEST_F(Popup, WhatAMeasurementItemThrowsReachesTheErrorBoxNotQt) {
    // A desktop whose first box fails, as a dialog that cannot be shown would.
    bool thrown = false;
    desktop.onMessage = [&](const Desktop::MessageBoxRequest&) {
        if (thrown) return;
        thrown = true;
        throw std::runtime_error("Anzeige gescheitert");
    };
    for (int i = 0; i < 3; ++i)
        popup().MarkerItem(2)->trigger();
    EXPECT_NO_THROW(popup().TimeItem(2, 1)->trigger());
    EXPECT_TRUE(thrown);
    const auto messages = desktop.messages();
    ASSERT_EQ(messages.size(), 2u) << "the measurement, then the error";
    EXPECT_EQ(messages[1].icon, Desktop::Icon::Error);
    EXPECT_EQ(messages[1].text, QStringLiteral("Anzeige gescheitert"));
}
