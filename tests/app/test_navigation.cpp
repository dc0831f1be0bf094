#include "MainWindowFixture.h"
#include "app/MainUiBuilder.h"
#include "app/NavigationCommands.h"
#include "display/OverviewImage.h"
#include "display/TOverview.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QWheelEvent>

// Moving through a recording with the wheel, dragging, the keys and the
// overview, as a user does it: events sent to the shown window's widgets.
class NavigationTest : public MainWindowTest {
  protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        window->show();
        QCoreApplication::processEvents();
        // The parallel-port source starts with 1,048,576 cells.
        ASSERT_EQ(trazor().Buffer().Cells(), 1 << 20);
    }

    // Line 0 with 100-cell pulses from cell 1000 on: high 1000..1099, low
    // 1100..1199, high 1200..1299 and so on up to cell 5000.
    void fillPulses() {
        for (int cell = 1000; cell < 5000; ++cell)
            trazor().SetCellLow(cell, ((cell - 1000) / 100) % 2 == 0 ? 1 : 0);
        trazor().Redraw();
        trazor().DrawSignals();
    }

    int pos() const { return trazor().Option().CellsPos(); }
    int step() const { return trazor().Option().TimeStep(); }
    int bar() const { return window->Ui().ScrollBar1->value(); }
    QString zoomField() const { return window->Ui().ScaleTimeComboBox1->currentText(); }
    QString readout() const {
        QLabel* p = window->Ui().PanelReadout;
        return p->isHidden() ? QString() : p->text();
    }

    void moveTo(int x, int y, Qt::MouseButtons buttons = Qt::NoButton) {
        QMouseEvent e(QEvent::MouseMove, QPointF(x, y), trazor().mapToGlobal(QPointF(x, y)),
                      Qt::NoButton, buttons, Qt::NoModifier);
        QCoreApplication::sendEvent(&trazor(), &e);
    }
    void press(QWidget* w, int x, int y) {
        QMouseEvent e(QEvent::MouseButtonPress, QPointF(x, y), w->mapToGlobal(QPointF(x, y)),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(w, &e);
    }
    void release(QWidget* w, int x, int y) {
        QMouseEvent e(QEvent::MouseButtonRelease, QPointF(x, y), w->mapToGlobal(QPointF(x, y)),
                      Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(w, &e);
    }
    // Notches away from the user are positive.
    void wheel(int notches, Qt::KeyboardModifiers mods = Qt::NoModifier, int x = 400, int y = 30) {
        QWheelEvent e(QPointF(x, y), trazor().mapToGlobal(QPointF(x, y)), QPoint(),
                      QPoint(0, 120 * notches), Qt::NoButton, mods, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(&trazor(), &e);
    }
    void key(int k, const QString& text = QString()) {
        QKeyEvent e(QEvent::KeyPress, k, Qt::NoModifier, text);
        QCoreApplication::sendEvent(&trazor(), &e);
    }
    // x of the left edge of buffer cell `cell` in the diagram.
    int xOf(int cell) const {
        const trazor::ViewGeometry v = trazor().View();
        return v.originX + (cell - v.cellsPos) * v.cellWidth;
    }
};

TEST_F(NavigationTest, WheelScrollsAndCtrlWheelZoomsAboutThePointer) {
    trazor().Option().SetCellsPos(1000);
    const int visible = trazor().VisibleCells();
    ASSERT_EQ(visible, 26); // 863-pixel diagram, 30-pixel cells from x = 70
    wheel(-1);
    EXPECT_EQ(pos(), 1000 + visible / 8);
    wheel(+2);
    EXPECT_EQ(pos(), 1000 - visible / 8);
    EXPECT_EQ(bar(), pos() / 128);

    // The cell under the pointer stays under it through the zoom steps.
    trazor().Option().SetCellsPos(1000);
    const int x = 400;
    const int anchor = *trazor::cellAtX(trazor().View(), x);
    for (int expectedStep : {11, 12, 13}) {
        wheel(+1, Qt::ControlModifier, x);
        EXPECT_EQ(step(), expectedStep);
        EXPECT_EQ(trazor::cellAtX(trazor().View(), x), anchor) << expectedStep;
    }
    EXPECT_EQ(zoomField(), QStringLiteral("11%"));
    wheel(-3, Qt::ControlModifier, x);
    EXPECT_EQ(step(), 12);
    EXPECT_EQ(trazor::cellAtX(trazor().View(), x), anchor);
    // The visible cells follow the zoom before the next move uses them.
    EXPECT_EQ(trazor().VisibleCells(), trazor::visibleCellsFor(trazor().width(), 70, 36));

    // Unlike "Vergrößern", the wheel stops at the last step.
    trazor().Option().SetTimeStep(102);
    wheel(+1, Qt::ControlModifier, x);
    EXPECT_EQ(step(), 102);
    trazor().Option().SetTimeStep(2);
    wheel(-1, Qt::ControlModifier, x);
    EXPECT_EQ(step(), 2);
}

TEST_F(NavigationTest, DraggingPansByWholeCells) {
    trazor().Option().SetCellsPos(1000);
    press(&trazor(), 400, 30);
    moveTo(340, 30, Qt::LeftButton); // two cells to the left
    EXPECT_EQ(pos(), 1002);
    moveTo(455, 30, Qt::LeftButton); // 55 pixels right of the press: one cell
    EXPECT_EQ(pos(), 999);
    release(&trazor(), 455, 30);
    moveTo(100, 30); // no button: no drag
    EXPECT_EQ(pos(), 999);
    EXPECT_EQ(bar(), 999 / 128);
}

TEST_F(NavigationTest, KeysMoveZoomAndJump) {
    trazor().Option().SetCellsPos(1000);
    const int visible = trazor().VisibleCells();
    struct Case {
        int key;
        const char* text;
        int pos;
    };
    const int last = (1 << 20) - visible;
    const Case cases[] = {
        {Qt::Key_Right, "", 1001},        {Qt::Key_Left, "", 1000},
        {Qt::Key_PageDown, "", 1000 + visible}, {Qt::Key_PageUp, "", 1000},
        {Qt::Key_End, "", last},          {Qt::Key_Right, "", last}, // no further than the end
        {Qt::Key_Home, "", 0},            {Qt::Key_Left, "", 0},
    };
    for (const Case& c : cases) {
        key(c.key, QString::fromLatin1(c.text));
        EXPECT_EQ(pos(), c.pos) << c.key;
        EXPECT_EQ(bar(), pos() / 128) << c.key;
    }

    // + and - zoom about the pointer, else about the middle of the cells.
    trazor().Option().SetCellsPos(2000);
    moveTo(250, 30);
    const int anchor = *trazor::cellAtX(trazor().View(), 250);
    key(Qt::Key_Plus, QStringLiteral("+"));
    EXPECT_EQ(step(), 11);
    EXPECT_EQ(trazor::cellAtX(trazor().View(), 250), anchor);
    key(Qt::Key_Minus, QStringLiteral("-"));
    EXPECT_EQ(step(), 10);
    EXPECT_EQ(zoomField(), QStringLiteral("8%"));
}

TEST_F(NavigationTest, EdgeJumpsBringTheNextEdgeUnderThePointer) {
    fillPulses();
    trazor().Option().SetCellsPos(900);
    const int y = 30; // line 0
    const int x = xOf(905);
    moveTo(x, y);
    struct Case {
        int key;
        int edge; // cell that comes to lie under the pointer
    };
    // From cell 905: 1000, 1100, 1200; back 1100, 1000; back again: none
    // before 1000, the view stays.
    const Case cases[] = {{Qt::Key_N, 1000}, {Qt::Key_N, 1100}, {Qt::Key_N, 1200},
                          {Qt::Key_P, 1100}, {Qt::Key_P, 1000}};
    for (const Case& c : cases) {
        key(c.key);
        EXPECT_EQ(trazor::cellAtX(trazor().View(), x), c.edge);
    }
    const int beeps = desktop.beeps();
    key(Qt::Key_P);
    EXPECT_EQ(trazor::cellAtX(trazor().View(), x), 1000);
    EXPECT_EQ(desktop.beeps(), beeps + 1);
    EXPECT_EQ(panel(4), QStringLiteral(" Digi-Status: Keine weitere Flanke auf D00"));

    // The wheel with Alt does the same.
    wheel(-1, Qt::AltModifier, x, y);
    EXPECT_EQ(trazor::cellAtX(trazor().View(), x), 1100);

    // Near the end the view cannot bring an edge under the pointer; the next
    // jump still goes on from that edge instead of finding it again.
    const int end = 1 << 20;
    for (int cell = end - 20; cell < end - 10; ++cell)
        trazor().SetCellLow(cell, 1);
    key(Qt::Key_End);
    const int lastPos = pos();
    ASSERT_EQ(lastPos, end - trazor().VisibleCells());
    moveTo(xOf(lastPos + 2), y); // cell end - 24
    const int beepsBefore = desktop.beeps();
    key(Qt::Key_N); // edge end - 20
    key(Qt::Key_N); // edge end - 10
    EXPECT_EQ(pos(), lastPos);
    EXPECT_EQ(desktop.beeps(), beepsBefore);
    key(Qt::Key_N); // none left
    EXPECT_EQ(desktop.beeps(), beepsBefore + 1);

    // With the pointer on no line nothing moves.
    const int before = pos();
    moveTo(400, 600);
    key(Qt::Key_N);
    EXPECT_EQ(pos(), before);
    EXPECT_EQ(panel(4),
              QStringLiteral(" Digi-Status: Für den Flankensprung den Mauszeiger auf eine Linie stellen"));
}

TEST_F(NavigationTest, ReadoutShowsThePulseUnderThePointer) {
    fillPulses();
    trazor().Option().SetCellsPos(1040);
    trazor().DrawScale(1040);
    moveTo(xOf(1050), 30);
    // The simulated port records at its nominal 10 us; nothing recorded yet:
    // the assumed 10 us.
    EXPECT_EQ(readout(), QStringLiteral(
                             " D00 = H | Puls 1,00 ms | Periode 2,00 ms | 500,00 Hz | Tastgrad 50,0 %"));
    moveTo(xOf(1050), 63); // line 1: no edge at all
    EXPECT_EQ(readout(), QStringLiteral(" D01 = L | Puls – | Periode – | – | Tastgrad –"));
    moveTo(xOf(1050), 600); // below the lines
    EXPECT_EQ(readout(), QString());
    moveTo(20, 30); // over the names
    EXPECT_EQ(readout(), QString());

    // A resting pointer reads what the view moves under it.
    moveTo(xOf(1050), 30);
    key(Qt::Key_PageDown);
    EXPECT_TRUE(readout().startsWith(QStringLiteral(" D00 = "))) << readout().toStdString();
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(&trazor(), &leave);
    EXPECT_EQ(readout(), QString());
}

TEST_F(NavigationTest, MarkersStayOnTheirSamples) {
    fillPulses();
    trazor().Option().SetCellsPos(1000);
    trazor().DrawScale(1000);
    // Start point of marker 1 placed where the mouse was pressed: cell boundary 1005.
    press(&trazor(), xOf(1005), 30);
    release(&trazor(), xOf(1005), 30);
    trazor().PlaceMarker(1);
    const int cell = trazor().Markers(1).Points[0].CellIndex;
    ASSERT_EQ(cell, 1005);
    const TColor markerColour = trazor().Markers(1).MarkerColor;

    for (int k : {Qt::Key_Right, Qt::Key_Right, Qt::Key_Left}) key(k);
    wheel(+1, Qt::ControlModifier, 500, 30);
    press(&trazor(), 500, 30);
    moveTo(440, 30, Qt::LeftButton);
    release(&trazor(), 440, 30);
    EXPECT_EQ(trazor().Markers(1).Points[0].CellIndex, cell);
    // Its line is drawn at the cell's boundary, wherever the view went.
    EXPECT_EQ(colors::fromQColor(QColor(trazor().Bitmap().pixel(xOf(cell), 15))), markerColour);
}

TEST_F(NavigationTest, OverviewClicksAndDragsMoveTheDiagram) {
    TOverview* overview = window->Ui().Overview1;
    ASSERT_FALSE(overview->isHidden());
    EXPECT_EQ(overview->height(), kOverviewHeight);
    EXPECT_EQ(overview->width(), window->width() - 1);
    EXPECT_EQ(overview->geometry().bottom() + 1, window->Ui().ScrollBar1->y());
    EXPECT_LE(trazor().geometry().bottom(), overview->y());

    const int visible = trazor().VisibleCells();
    const trazor::OverviewScale scale{1 << 20, overview->width()};
    press(overview, 431, 10);
    EXPECT_EQ(pos(), scale.cellAt(431) - visible / 2);
    EXPECT_EQ(bar(), pos() / 128);
    // The frame surrounds the shown part.
    const trazor::OverviewFrame frame = overview->Frame();
    EXPECT_LE(frame.left, 431);
    EXPECT_GE(frame.right, 432);

    QMouseEvent drag(QEvent::MouseMove, QPointF(100, 10), overview->mapToGlobal(QPointF(100, 10)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(overview, &drag);
    EXPECT_EQ(pos(), scale.cellAt(100) - visible / 2);
    press(overview, 0, 10);
    EXPECT_EQ(pos(), 0);

    // Hidden, it gives its room back to the diagram.
    const int tall = trazor().height();
    trigger("Uebersicht1");
    EXPECT_TRUE(overview->isHidden());
    EXPECT_EQ(trazor().height(), tall + kOverviewHeight);
    trigger("Uebersicht1");
    EXPECT_FALSE(overview->isHidden());
    EXPECT_EQ(trazor().height(), tall);
}

TEST_F(NavigationTest, OverviewFollowsLoadsClearingColoursAndLineCounts) {
    TOverview* overview = window->Ui().Overview1;
    auto columnShows = [&](int x, int y) {
        return colors::fromQColor(QColor(overview->Picture().pixel(x, y)));
    };
    // Eight lines in 50 pixels: rows of 6, line 0 high at y 1, low at y 5.
    EXPECT_EQ(columnShows(10, 5), colors::Black);
    EXPECT_EQ(columnShows(10, 1), colors::White);

    // A file of 864 cells, line 0 high in the first half.
    std::vector<std::uint8_t> bytes(2 * 864, 0);
    for (int i = 0; i < 432; ++i)
        bytes[std::size_t(i)] = 1;
    writeFile(QStringLiteral("halb.dig"),
              QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size())));
    desktop.fileAnswers = {path(QStringLiteral("halb.dig"))};
    trigger("ffnen1");
    const int width = overview->width();
    EXPECT_EQ(columnShows(10, 1), colors::Black);
    EXPECT_EQ(columnShows(width - 10, 1), colors::White);
    EXPECT_EQ(columnShows(width - 10, 5), colors::Black);

    // Moving the view only moves the frame.
    const int renderings = overview->Renderings();
    key(Qt::Key_Right);
    overview->Picture();
    EXPECT_EQ(overview->Renderings(), renderings);

    desktop.colorAnswers = {0x0000FFu};
    trigger("Bitfarbe01");
    EXPECT_EQ(columnShows(10, 1), 0x0000FFu);

    trigger("Bit16"); // sixteen lines: rows of 3
    EXPECT_EQ(columnShows(10, 0), 0x0000FFu);
    EXPECT_EQ(columnShows(10, 2), colors::White);

    window->ClearSampleBuffer();
    EXPECT_EQ(columnShows(10, 0), colors::White);
    EXPECT_EQ(columnShows(10, 2), 0x0000FFu);
}

TEST_F(NavigationTest, OverviewShowsARecording) {
    trigger("PortAuswahl1");
    trigger("Eingabeprogrammieren1");
    trigger("MenuRecord_5_Sek");
    trigger("MenuRecord_Signal");
    TOverview* overview = window->Ui().Overview1;
    // Line 0 of the simulated port toggles with the counter: activity, a band
    // over its whole row, in every column.
    const QImage picture = overview->Picture();
    const TColor band = trazor::activityFill(colors::Black, colors::White);
    for (int x : {0, 300, overview->width() - 1}) {
        EXPECT_EQ(colors::fromQColor(QColor(picture.pixel(x, 1))), colors::Black) << x;
        for (int y = 2; y <= 4; ++y)
            EXPECT_EQ(colors::fromQColor(QColor(picture.pixel(x, y))), band) << x << "," << y;
        EXPECT_EQ(colors::fromQColor(QColor(picture.pixel(x, 5))), colors::Black) << x;
    }
}

TEST_F(NavigationTest, ShowAllFitsShortBuffersAtTheLargestZoomStep) {
    // Twenty cells fit at 13 pixels a tick: 39-pixel cells in 792 pixels.
    trazor().LoadStream(std::vector<std::uint8_t>(40, 0));
    trazor().Option().SetCellsPos(10);
    trigger("Alleszeigen1");
    EXPECT_FALSE(trazor().ZoomedOut());
    EXPECT_EQ(step(), trazor::fitTimeStep(20, 3, trazor().width() - 1 - 70));
    EXPECT_EQ(pos(), 0);
    EXPECT_EQ(bar(), 0);
    EXPECT_EQ(zoomField(), QString::number(step() - 2) + "%");
    EXPECT_GE(trazor().VisibleCells(), 20);
    EXPECT_EQ(panel(4), QStringLiteral(" Digi-Status: Alle Daten werden angezeigt"));
}

// The measuring cursors as a user sets them: keys A and B at the pointer, a
// drag on a cursor line moves that cursor (and not the view), a drag beside
// it still pans; the info row tells both times, Δt and 1/Δt.
TEST_F(NavigationTest, CursorsAreSetByKeysAndDraggedWithTheirReadout) {
    QLabel* field = window->Ui().PanelCursors;
    const auto shown = [field] { return field->isHidden() ? QString() : field->text(); };
    EXPECT_EQ(shown(), QString());
    trazor().Option().SetCellsPos(1000);
    moveTo(xOf(1005) + 4, 30);
    key(Qt::Key_A, QStringLiteral("a"));
    moveTo(xOf(1010) - 3, 30);
    key(Qt::Key_B, QStringLiteral("b"));
    EXPECT_EQ(trazor().Cursors().cells[0], 1005);
    EXPECT_EQ(trazor().Cursors().cells[1], 1010);
    EXPECT_EQ(shown(), QStringLiteral(" A 10,05 ms | B 10,10 ms | Δt 50,00 µs | 1/Δt 20,00 kHz"));

    press(&trazor(), xOf(1010) + 2, 30);
    moveTo(xOf(1020), 30, Qt::LeftButton);
    release(&trazor(), xOf(1020), 30);
    EXPECT_EQ(trazor().Cursors().cells[1], 1020);
    EXPECT_EQ(pos(), 1000) << "dragging a cursor leaves the view where it is";
    EXPECT_EQ(shown(), QStringLiteral(" A 10,05 ms | B 10,20 ms | Δt 150,00 µs | 1/Δt 6,67 kHz"));
    // Drawn where it stands, in its own colour, over the picture.
    const QImage screen = trazor().grab().toImage();
    int cursorPixels = 0;
    for (int y = 0; y < screen.height(); ++y)
        cursorPixels += screen.pixelColor(xOf(1020), y) == QColor(0, 130, 230);
    EXPECT_GT(cursorPixels, 20);

    press(&trazor(), xOf(1015), 30);
    moveTo(xOf(1013), 30, Qt::LeftButton);
    release(&trazor(), xOf(1013), 30);
    EXPECT_EQ(pos(), 1002) << "beside the cursors a drag pans";
    EXPECT_EQ(trazor().Cursors().cells[1], 1020);

    // In a zoomed-out view a cursor stands on the start of a pixel column.
    trigger("Alleszeigen1");
    ASSERT_TRUE(trazor().ZoomedOut());
    const trazor::ViewScale scale = trazor().Scale();
    moveTo(400, 30);
    key(Qt::Key_A, QStringLiteral("a"));
    EXPECT_EQ(trazor().Cursors().cells[0], (400 - 70) / scale.cellWidth * scale.cellsPerColumn);

    key(Qt::Key_C, QStringLiteral("c"));
    EXPECT_FALSE(trazor().Cursors().any());
    EXPECT_EQ(shown(), QString());
}

TEST_F(NavigationTest, CursorMenuItemsPlaceAndRemoveBothCursors) {
    trazor().Option().SetCellsPos(3000);
    trigger("CursorSetzen1");
    const int visible = trazor().VisibleCells();
    EXPECT_EQ(trazor().Cursors().cells[0], 3000 + visible / 3);
    EXPECT_EQ(trazor().Cursors().cells[1], 3000 + 2 * visible / 3);
    EXPECT_FALSE(window->Ui().PanelCursors->isHidden());
    trigger("CursorEntfernen1");
    EXPECT_FALSE(trazor().Cursors().any());
    EXPECT_TRUE(window->Ui().PanelCursors->isHidden());
}
