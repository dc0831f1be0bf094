#include "MainWindowFixture.h"
#include "app/MainUiBuilder.h"
#include "display/TrazorGeometry.h"
#include "sigrok/SigrokContext.h"
#include "sigrok/SigrokExport.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QToolButton>
#include <QWheelEvent>

// The diagram beyond the zoom steps and its time axis, through the window.
class DiagramViewsTest : public MainWindowTest {
  protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        window->show();
        QCoreApplication::processEvents();
    }
    int step() const { return trazor().Option().TimeStep(); }
    QString zoomField() const { return window->Ui().ScaleTimeComboBox1->currentText(); }
    const TTrazor::AxisText& axis() const { return trazor().ShownAxis(); }
    std::vector<QString> firstLabels(std::size_t n) const {
        const auto& labels = axis().labels;
        return {labels.begin(), labels.begin() + std::min(n, labels.size())};
    }
    void key(int k, const QString& text) {
        QKeyEvent e(QEvent::KeyPress, k, Qt::NoModifier, text);
        QCoreApplication::sendEvent(&trazor(), &e);
    }
    void ctrlWheel(int notches, int x = 400) {
        QWheelEvent e(QPointF(x, 30), trazor().mapToGlobal(QPointF(x, 30)), QPoint(),
                      QPoint(0, 120 * notches), Qt::NoButton, Qt::ControlModifier,
                      Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(&trazor(), &e);
    }
    TColor pixel(int x, int y) const {
        return colors::fromQColor(QColor(trazor().Bitmap().pixel(x, y)));
    }
    // A .sr file of another tool: line 0 toggles every sample.
    void importSr(std::uint64_t rateHz, std::size_t samples) {
        sigrok::LogicFrames frames;
        frames.names = {"CLK"};
        for (std::size_t i = 0; i < samples; ++i)
            frames.samples.push_back(std::uint16_t(i % 2));
        frames.timeBase = sampling::TimeBase::Exact(sampling::SamplePeriod::FromRateHz(rateHz));
        {
            sigrok::Context context;
            sigrok::ExportFile(context, frames, sigrok::ExchangeFormat::Session,
                               path(QStringLiteral("fremd.sr")).toStdString());
        }
        desktop.fileAnswers = {path(QStringLiteral("fremd.sr"))};
        trigger("Importieren1");
        ASSERT_TRUE(desktop.messages().empty()) << lastMessage().toStdString();
    }
};

TEST_F(DiagramViewsTest, ShowAllFitsAMegacellRecordingAndZoomingInReturnsToTheSteps) {
    // The parallel port's buffer of 1 Mi cells, with a 20-cell pulse on line 2
    // near its end.
    ASSERT_EQ(trazor().Buffer().Cells(), 1 << 20);
    const int pulse = (1 << 20) - 3000;
    for (int cell = pulse; cell < pulse + 20; ++cell)
        trazor().SetCellLow(cell, 4);
    trazor().Option().SetCellsPos(5000);
    trigger("Alleszeigen1");

    EXPECT_TRUE(trazor().ZoomedOut());
    EXPECT_EQ(trazor().Option().CellsPos(), 0);
    EXPECT_GE(trazor().VisibleCells(), 1 << 20);
    EXPECT_EQ(panel(4), QStringLiteral(" Digi-Status: Alle Daten werden angezeigt"));
    // 14 views past "0%": 3, 2, 1 pixels per cell, then 2 .. 2048 cells per column.
    EXPECT_EQ(zoomField(), QStringLiteral("-14"));
    // The pulse stands in the diagram itself, as a band between its levels.
    const trazor::LineRow& row = trazor().LineOption().Row(2);
    const int x = 70 + int(trazor().Scale().columnsFor(pulse + 10));
    EXPECT_EQ(pixel(x, (row.HighY + row.LowY) / 2), colors::Black);
    EXPECT_EQ(pixel(x, row.HighY), colors::Black);
    EXPECT_EQ(pixel(x - 20, (row.HighY + row.LowY) / 2), colors::White);
    // A port recording's time base: the axis in seconds over the 10.49 s.
    EXPECT_EQ(axis().legend, QStringLiteral("s"));
    const std::vector<QString> seconds = {"0", "1", "2"};
    EXPECT_EQ(firstLabels(3), seconds);

    // "+" walks back through the views to the narrowest step and its texts.
    int presses = 0;
    while (trazor().ZoomedOut() && presses < 30) {
        key(Qt::Key_Plus, QStringLiteral("+"));
        ++presses;
    }
    EXPECT_EQ(presses, 14);
    EXPECT_EQ(step(), 2);
    EXPECT_EQ(zoomField(), QStringLiteral("0%"));
    EXPECT_FALSE(trazor().TrueTimeAxis());
    EXPECT_EQ(axis().legend, QStringLiteral("10 µs"));
    window->Ui().ButtonScaleTimeUp->click();
    EXPECT_EQ(zoomField(), QStringLiteral("1%"));
}

TEST_F(DiagramViewsTest, ZoomingOutGoesPastTheNarrowestStepUpToTheWholeBuffer) {
    window->Ui().ScaleTimeComboBox1->setEditText(QStringLiteral("0%"));
    trazor().Option().SetTimeStep(2);
    // "Verkleinern", "-" and Ctrl+wheel each go one view further.
    window->Ui().ButtonScaleTimeDown->click();
    EXPECT_EQ(zoomField(), QStringLiteral("-1"));
    EXPECT_EQ(trazor().Scale(), (trazor::ViewScale{3, 1}));
    key(Qt::Key_Minus, QStringLiteral("-"));
    EXPECT_EQ(zoomField(), QStringLiteral("-2"));
    ctrlWheel(-1);
    EXPECT_EQ(zoomField(), QStringLiteral("-3"));
    EXPECT_EQ(trazor().Scale(), (trazor::ViewScale{1, 1}));
    for (int i = 0; i < 30; ++i)
        key(Qt::Key_Minus, QStringLiteral("-"));
    // No further than the view that holds every cell.
    const int columns = trazor().width() - 1 - 70;
    EXPECT_EQ(trazor().Scale(), trazor::fitScale(1 << 20, columns, 6));
    EXPECT_EQ(step(), 2); // the zoom step stays where it was

    // A zoom step chosen in the field or the menu leaves the views.
    trigger("Aufoesungp10");
    EXPECT_FALSE(trazor().ZoomedOut());
    EXPECT_EQ(step(), 12);
}

TEST_F(DiagramViewsTest, ZoomKeysActOnlyWhileTheZoomCommandsAreEnabled) {
    trigger("Eingabeprogrammieren1");
    trigger("MenuPlay_Scan");
    ASSERT_FALSE(window->Ui().ButtonScaleTimeUp->isEnabled());
    const int during = step();
    key(Qt::Key_Plus, QStringLiteral("+"));
    key(Qt::Key_Minus, QStringLiteral("-"));
    ctrlWheel(+1);
    EXPECT_EQ(step(), during);
    EXPECT_FALSE(trazor().ZoomedOut());
    window->Ui().ButtonStop_Scan->click();
    QCoreApplication::processEvents();
    ASSERT_TRUE(window->Ui().ButtonScaleTimeUp->isEnabled());
    // After the stop the field shows the step that holds again.
    EXPECT_EQ(zoomField(), QString::number(step() - 2) + "%");
    key(Qt::Key_Plus, QStringLiteral("+"));
    EXPECT_EQ(zoomField(), QString::number(step() - 2) + "%");
}

TEST_F(DiagramViewsTest, AnImportIsLabelledInItsOwnTimeWhateverSourceIsChosenLater) {
    importSr(200'000, 4000);
    trazor().Option().SetTimeStep(10);
    EXPECT_TRUE(trazor().TrueTimeAxis());
    // 5 µs cells of 30 pixels: labels every 10 µs.
    const std::vector<QString> expected = {"0", "10", "20", "30"};
    EXPECT_EQ(axis().legend, QStringLiteral("µs"));
    EXPECT_EQ(firstLabels(4), expected);
    for (const char* source : {"PortAuswahl5", "PortAuswahl1"}) {
        trigger(source);
        trigger("DatenneuAnzeigen1");
        EXPECT_EQ(axis().legend, QStringLiteral("µs")) << source;
        EXPECT_EQ(firstLabels(4), expected) << source;
    }
    // Nor does a unit chosen by hand.
    trigger("EinheitMilliSek1");
    EXPECT_EQ(firstLabels(4), expected);
}

TEST_F(DiagramViewsTest, APortRecordingKeepsTheAxisOfItsTenMicrosecondCells) {
    // The window's own start: 10 µs cells and the display's 10 µs options.
    trazor().Option().SetCellsPos(250);
    trigger("DatenneuAnzeigen1");
    EXPECT_FALSE(trazor().TrueTimeAxis());
    EXPECT_EQ(axis().legend, QStringLiteral("10 µs"));
    const std::vector<QString> expected = {"2500", "2600", "2700"};
    EXPECT_EQ(firstLabels(3), expected);
}
