#include "ScriptedDesktop.h"
#include "display/TTrazor.h"
#include "persistence/AppSettings.h"
#include "persistence/IniRegistry.h"

#include <QWidget>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace {

// A display set up as the main window sets up its own, with a few edges in
// the buffer and a complete marker, so that signals and markers show.
struct Display {
    ScriptedDesktop desktop;
    std::unique_ptr<QWidget> owner = std::make_unique<QWidget>();
    TTrazor* trazor = new TTrazor(owner.get(), desktop); // owned by `owner`

    Display() {
        trazor->LineOption().Apply(TLineVariable::WindowLayout, 10);
        trazor->Option().SetCopyMode(10);
        trazor->SetBounds(0, 40, 772, 390);
        for (int cell = 0; cell < 8192; cell += 7)
            trazor->SetCellLow(cell, std::uint8_t(cell * 37));
        for (int point = 0; point < 3; ++point)
            trazor->StoreMarkerPoint(2, 3 + 4 * point);
        trazor->Redraw();
        trazor->DrawSignals();
    }
};

using Steps = std::function<void(TTrazor&)>;

void applyColours(TTrazor& t) {
    auto& o = t.Option();
    o.SetColorBackground(0x00E0FFFF);
    o.SetColorScale(0x000000FF);
    o.SetColorFont(0x00800000);
    o.SetColorMarker(0x0000FF00);
    for (int line = 0; line < 16; ++line)
        o.DigiColor().Set(line, TColor(0x101010 * line));
}

} // namespace

// Options applied inside one DeferredDrawing must leave the very picture,
// axis and view that drawing after every setter leaves, also where the state
// the passes read changes between them without a full redraw of its own.
TEST(DeferredDrawing, GivesThePictureOfDrawingEveryPass) {
    struct Case {
        const char* name;
        Steps steps;
    };
    const Case cases[] = {
        {"scale options",
         [](TTrazor& t) {
             auto& o = t.Option();
             o.SetDigits(5);
             o.SetTimeScale(20);
             o.SetTimeStep(30);
             o.SetTimeUnit(QStringLiteral("ms"));
             o.SetDigits(12);
         }},
        {"colours and names",
         [](TTrazor& t) {
             applyColours(t);
             for (int line = 0; line < 16; ++line)
                 t.Option().DigiName().Set(line, QStringLiteral("Leitung %1").arg(line));
         }},
        {"signals, then the position moves without a redraw",
         [](TTrazor& t) {
             t.Option().SetDigits(9);
             t.DrawSignals();
             t.Option().SetCellsPos(50);
             t.DrawMarkers();
         }},
        {"signals, then the buffer and the markers change",
         [](TTrazor& t) {
             t.Option().SetColorFont(0x00404040);
             t.SetCellLow(3, 0xFF);
             t.DrawMarkers();
             t.ResetMarker(2);
             t.LoadStream(std::vector<std::uint8_t>(100, 0x5A));
             t.DrawBaseLines();
         }},
        {"the time factor and the line rows change after the scale",
         [](TTrazor& t) {
             t.Option().SetTimeScale(7);
             t.Option().SetTimefactor(3);
             t.DrawBaseLines();
             t.LineOption().RecalcLines(14);
             t.DrawSignals();
         }},
        {"a scroll by one cell in between",
         [](TTrazor& t) {
             t.Option().SetTimeStep(4);
             t.DrawSignals();
             t.ScrollForward(1);
             t.Option().SetColorScale(0x00FF0000);
             t.ScrollBack(1);
             t.Option().SetDigits(3);
         }},
        {"zoomed out, on a time base of its own",
         [](TTrazor& t) {
             t.SetAxisFollowsTimeBase(true);
             t.SetTimeBase(sampling::TimeBase::Exact(sampling::SamplePeriod::FromNanoseconds(50)));
             t.SetZoomOut(trazor::ViewScale{1, 16});
             t.Option().SetColorBackground(0x00F0F0F0);
             t.ChangeTimeStep(-1);
         }},
        {"a lone clearing", [](TTrazor& t) { t.ClearArea(0x000000FF); }},
        {"a line drawn by hand after the options",
         [](TTrazor& t) {
             t.Option().SetDigits(4);
             t.DrawLine(100, 10, 300, 200, 0x000000FF);
             t.DrawMarkerLine(1, 222);
             t.Option().SetColorMarker(0x00FF00FF);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Display plain;
        Display deferred;
        c.steps(*plain.trazor);
        {
            const TTrazor::DeferredDrawing outer(*deferred.trazor);
            const TTrazor::DeferredDrawing inner(*deferred.trazor); // scopes nest
            c.steps(*deferred.trazor);
        }
        EXPECT_EQ(deferred.trazor->Bitmap(), plain.trazor->Bitmap());
        EXPECT_EQ(deferred.trazor->VisibleCells(), plain.trazor->VisibleCells());
        EXPECT_EQ(deferred.trazor->ShownAxis().legend, plain.trazor->ShownAxis().legend);
        EXPECT_EQ(deferred.trazor->ShownAxis().labels, plain.trazor->ShownAxis().labels);
        EXPECT_EQ(deferred.trazor->DrawMode(), plain.trazor->DrawMode());
        EXPECT_EQ(deferred.trazor->Option().CellsPos(), plain.trazor->Option().CellsPos());
    }
}

// Nothing is drawn while a scope lives, and everything once its last one ends.
TEST(DeferredDrawing, DrawsOnlyWhenTheLastScopeEnds) {
    Display display;
    TTrazor& t = *display.trazor;
    const QImage before = t.Bitmap();
    int drawn = 0;
    QObject::connect(&t, &TTrazor::pictureChanged, [&drawn] { ++drawn; });
    {
        const TTrazor::DeferredDrawing outer(t);
        {
            const TTrazor::DeferredDrawing inner(t);
            applyColours(t);
            t.Option().SetDigits(6);
            t.Redraw();
            t.DrawSignals();
        }
        EXPECT_EQ(drawn, 0);
        EXPECT_EQ(t.Bitmap(), before);
    }
    EXPECT_GT(drawn, 0);
    EXPECT_NE(t.Bitmap(), before);
}

// Start-up applies the settings file in one go: the picture is the one the
// options give when set one by one.
TEST(DeferredDrawing, SettingsApplyDrawTheSamePicture) {
    Display stored;
    applyColours(*stored.trazor);
    stored.trazor->Option().SetDigits(7);
    stored.trazor->Option().SetTimeStep(22);
    stored.trazor->Option().DigiName().Set(3, QStringLiteral("Takt"));
    TIniRegistry store;
    StoreSettings(store, *stored.trazor);

    Display applied;
    int drawn = 0;
    QObject::connect(applied.trazor, &TTrazor::pictureChanged, [&drawn] { ++drawn; });
    ApplySettings(store, *applied.trazor);
    // The scale, the base lines, the signals and their markers: once each.
    EXPECT_LE(drawn, 4);
    applied.trazor->DrawSignals();

    stored.trazor->DrawSignals();
    EXPECT_EQ(applied.trazor->Bitmap(), stored.trazor->Bitmap());
}
