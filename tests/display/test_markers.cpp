#include "TrazorFixture.h"
#include "display/MarkerRecord.h"

#include <QCoreApplication>
#include <QMouseEvent>

namespace {
constexpr int GX = 70, CW = 30;
}

class Markers : public TrazorFixture {
  protected:
    void press(int x, int y = 100, Qt::MouseButton button = Qt::LeftButton) {
        QMouseEvent event(QEvent::MouseButtonPress, QPointF(x, y), QPointF(x, y), button, button,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(trazor, &event);
    }
    // Places the next point of marker m on the boundary of cell `cell`.
    int placeAt(int m, int cell) {
        press(GX + CW * (cell - trazor->Option().CellsPos()));
        return trazor->PlaceMarker(m);
    }
    int countPixels(TColor color) const {
        int n = 0;
        const QImage& image = trazor->Bitmap();
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                n += colors::fromQColor(QColor(image.pixel(x, y))) == color;
        return n;
    }
    Desktop::MessageBoxRequest lastMessage() const {
        const auto messages = desktop.messages();
        return messages.empty() ? Desktop::MessageBoxRequest{} : messages.back();
    }
};

TEST_F(Markers, PressPlacesThePointOnTheNextBoundary) {
    trazor->Option().SetCellsPos(100);
    refresh();
    press(171, 57);
    EXPECT_EQ(trazor->MouseX(), 171);
    EXPECT_EQ(trazor->MouseY(), 57);
    EXPECT_EQ(trazor->PlaceMarker(1), trazor::PlacedStart);
    const trazor::MarkerPoint& start = trazor->Markers(1).Points[0];
    EXPECT_FALSE(start.IsFree);
    EXPECT_EQ(start.CellIndex, 104);
    EXPECT_EQ(start.OffsetX, 101);
    EXPECT_EQ(start.PlacedStep, 10);
    // The line stands at x 190, from 8 + 2 pixels above 20 below the last row up to y 11.
    const int bottom = 33 * 8 + 20 - 2 - 8;
    EXPECT_EQ(pixel(190, bottom), colors::Green);
    EXPECT_EQ(pixel(190, bottom + 1), colors::White);
    EXPECT_EQ(pixel(190, 11), colors::Green);
    EXPECT_EQ(pixel(190, 10), colors::White);
}

TEST_F(Markers, PressLeftOfTheOriginPlacesAtTheOrigin) {
    trazor->Option().SetCellsPos(100);
    press(20);
    trazor->PlaceMarker(2);
    EXPECT_EQ(trazor->Markers(2).Points[0].CellIndex, 100);
    EXPECT_EQ(trazor->Markers(2).Points[0].OffsetX, -50);
}

TEST_F(Markers, ThreePointsThenNothing) {
    EXPECT_EQ(placeAt(3, 10), trazor::PlacedStart);
    EXPECT_EQ(placeAt(3, 15), trazor::PlacedMiddle);
    EXPECT_EQ(placeAt(3, 25), 3);
    EXPECT_TRUE(trazor->Markers(3).Complete());
    EXPECT_EQ(placeAt(3, 30), trazor::PlacedNothing);
    EXPECT_EQ(trazor->Markers(3).Points[2].CellIndex, 25);
    trazor->ResetMarker(3);
    EXPECT_FALSE(trazor->Markers(3).Complete());
    EXPECT_TRUE(trazor->Markers(3).Points[0].IsFree);
    // Marker 5 takes points but never reports its end point.
    trazor::MarkerRecord five;
    for (int i = 0; i < 2; ++i)
        trazor::storeMarkerPoint(five, 5, i, 10, 0);
    EXPECT_EQ(trazor::storeMarkerPoint(five, 5, 2, 10, 0), trazor::PlacedNothing);
}

TEST_F(Markers, OutOfViewPointsAreNotDrawnAndComeBack) {
    trazor->Option().SetColorMarker(colors::Red);
    placeAt(1, 10);
    trazor->Option().SetCellsPos(20);
    refresh();
    EXPECT_EQ(countPixels(colors::Red), 0);
    trazor->Option().SetCellsPos(5);
    refresh();
    EXPECT_EQ(pixel(GX + 5 * CW, 100), colors::Red);
    trazor->Option().SetCellsPos(0);
    trazor->Option().SetTimeStep(5); // the point stays on its cell when zooming
    refresh();
    EXPECT_EQ(pixel(GX + 10 * 15, 100), colors::Red);
}

struct MeasureCase {
    const char* name;
    int start, middle, end;
    int bit;
    std::vector<std::pair<int, int>> highCells; // [from, to) ranges where the bit is set
    int timefactor;
    QString unit;
    QString timeText;
    QString frequencyText;
};

void PrintTo(const MeasureCase& c, std::ostream* os) {
    *os << c.name;
}

class Measurements : public Markers, public ::testing::WithParamInterface<MeasureCase> {};

TEST_P(Measurements, TimeAndFrequencyTexts) {
    const MeasureCase& c = GetParam();
    for (const auto& [from, to] : c.highCells)
        for (int cell = from; cell < to; ++cell)
            setLine(cell, c.bit, true);
    trazor->Option().SetTimefactor(c.timefactor);
    trazor->Option().SetTimeUnit(c.unit);
    placeAt(1, c.start);
    placeAt(1, c.middle);
    placeAt(1, c.end);

    const QString caption = QStringLiteral("Marker-Nr.: 1  - Bit Nr. : %1 ").arg(c.bit);
    trazor->ShowTimeMeasurement(1, c.bit);
    EXPECT_EQ(lastMessage().caption, caption);
    EXPECT_EQ(lastMessage().text, c.timeText);
    EXPECT_EQ(lastMessage().buttons, Desktop::Ok);
    trazor->ShowFrequency(1, c.bit);
    EXPECT_EQ(lastMessage().caption, caption);
    EXPECT_EQ(lastMessage().text, c.frequencyText);
    EXPECT_EQ(desktop.messages().size(), 2u);
}

namespace {
QString timeText(int total, int t1, const char* l1, int t2, const char* l2,
                 const QString& unit = QStringLiteral("µs")) {
    return QStringLiteral("Gesamtzeit ---> %1 %2\r\n\r\nLowbit- : %3 %2  Flanke: %4\r\n"
                          "Highbit-: %5 %2  Flanke: %6")
        .arg(total)
        .arg(unit)
        .arg(t1)
        .arg(QString::fromUtf8(l1))
        .arg(t2)
        .arg(QString::fromUtf8(l2));
}
const QString NoFrequency = QStringLiteral("Frequenz nicht ermittelbar!");
} // namespace

INSTANTIATE_TEST_SUITE_P(
    Marker, Measurements,
    ::testing::Values(MeasureCase{"LowThenHigh",
                                  10,
                                  15,
                                  25,
                                  3,
                                  {{15, 25}},
                                  10,
                                  QStringLiteral("µs"),
                                  timeText(150, 50, "(Low- 0)", 100, "(High-1)"),
                                  QStringLiteral("Frequenz: 6666 Hz")},
                      MeasureCase{"OutOfOrderWalksFromTheSmallerIndex",
                                  25,
                                  15,
                                  5,
                                  2,
                                  {{15, 25}},
                                  10,
                                  QStringLiteral("µs"),
                                  timeText(200, 100, "(High-1)", 100, "(Low- 0)"),
                                  QStringLiteral("Frequenz: 5000 Hz")},
                      MeasureCase{"ToggleHasNoFrequency",
                                  10,
                                  15,
                                  25,
                                  0,
                                  {{12, 13}, {15, 25}},
                                  10,
                                  QStringLiteral("µs"),
                                  timeText(150, 50, "(Toggle)", 100, "(High-1)"),
                                  NoFrequency},
                      MeasureCase{"FallingToggle",
                                  10,
                                  15,
                                  25,
                                  0,
                                  {{10, 12}},
                                  1,
                                  QStringLiteral("ms"),
                                  timeText(15, 5, "(Toggle)", 10, "(Low- 0)", QStringLiteral("ms")),
                                  NoFrequency},
                      MeasureCase{"HighPlaneLine",
                                  4,
                                  8,
                                  10,
                                  11,
                                  {{4, 8}},
                                  1,
                                  QStringLiteral("ms"),
                                  timeText(6, 4, "(High-1)", 2, "(Low- 0)", QStringLiteral("ms")),
                                  QStringLiteral("Frequenz: 166 Hz")},
                      MeasureCase{"ZeroTimefactorHasNoFrequency",
                                  10,
                                  15,
                                  25,
                                  3,
                                  {{15, 25}},
                                  0,
                                  QStringLiteral("µs"),
                                  timeText(0, 0, "(Low- 0)", 0, "(High-1)"),
                                  NoFrequency},
                      MeasureCase{"EmptyIntervalCountsAsLow",
                                  10,
                                  10,
                                  20,
                                  5,
                                  {{10, 20}},
                                  1,
                                  QStringLiteral("s"),
                                  timeText(10, 0, "(Low- 0)", 10, "(High-1)", QStringLiteral("s")),
                                  QStringLiteral("Frequenz: 0 Hz")}),
    [](const ::testing::TestParamInfo<MeasureCase>& info) { return info.param.name; });

TEST_F(Markers, IncompleteMarkerMeasuresFromCellZero) {
    for (int cell = 0; cell < 10; ++cell)
        setLine(cell, 0, true);
    trazor->Option().SetTimefactor(10);
    placeAt(4, 10);
    trazor->ShowTimeMeasurement(4, 0);
    EXPECT_EQ(lastMessage().text, timeText(100, 100, "(High-1)", 0, "(Low- 0)"));
}

TEST(UnitFactor, KnownUnitsAndTheRest) {
    EXPECT_EQ(trazor::unitFactor(QStringLiteral("h")), 3600.0); // an hour, not a minute
    EXPECT_EQ(trazor::unitFactor(QStringLiteral("s")), 1.0);
    EXPECT_EQ(trazor::unitFactor(QStringLiteral("ms")), 0.001);
    EXPECT_EQ(trazor::unitFactor(QStringLiteral("µs")), 0.000001);
    EXPECT_EQ(trazor::unitFactor(QStringLiteral("ns")), 1e-9);
    EXPECT_EQ(trazor::unitFactor(QStringLiteral("ps")), 1e-12);
    EXPECT_EQ(trazor::unitFactor(QStringLiteral(" s")), 1.0);
    EXPECT_EQ(trazor::unitFactor(QStringLiteral("MS")), 1.0);
}
