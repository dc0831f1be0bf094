#include "MainWindowFixture.h"
#include "app/BusCommands.h"
#include "app/BusDialog.h"
#include "app/BusSettings.h"
#include "display/BusRows.h"
#include "display/TrazorGeometry.h"
#include "persistence/ProgramConfig.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>

// Buses as a user makes them: the dialog from the view menu, the row under
// the diagram at a zoom step and zoomed out, the program's own configuration,
// and the vectors of an imported VCD file.
class BusTest : public MainWindowTest {
  protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        window->show();
        QCoreApplication::processEvents();
    }
    BusRows& rows() const { return *window->Ui().BusRows1; }
    // A 4-bit counter on lines 0..3 that holds each value 8 cells.
    void fillCounter(int cells) {
        for (int cell = 0; cell < cells; ++cell)
            trazor().SetCellLow(cell, std::uint8_t((cell / 8) & 0xF));
        trazor().Redraw();
        trazor().DrawSignals();
    }
    std::vector<trazor::BusSegment> valueSegments() const {
        std::vector<trazor::BusSegment> out;
        for (const trazor::BusSegment& s : rows().Segments(0))
            if (s.value) out.push_back(s);
        return out;
    }
};

TEST_F(BusTest, TheDialogAddsABusThatIsShownAndKept) {
    EXPECT_TRUE(rows().isHidden()) << "no bus, no row";
    const int diagramHeight = trazor().height();
    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<BusDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        auto* add = dialog->findChild<QPushButton*>(QStringLiteral("BusAdd"));
        dialog->findChild<QLineEdit*>(QStringLiteral("BusName"))->setText(QStringLiteral("Zähler"));
        dialog->findChild<QLineEdit*>(QStringLiteral("BusLines"))->setText(QStringLiteral("9-"));
        EXPECT_FALSE(add->isEnabled()) << "not a list of lines";
        dialog->findChild<QLineEdit*>(QStringLiteral("BusLines"))->setText(QStringLiteral("0-3"));
        dialog->findChild<QComboBox*>(QStringLiteral("BusOrder"))->setCurrentIndex(1);
        EXPECT_TRUE(add->isEnabled());
        add->click();
        dialog->accept();
    });
    trigger("Busse1");
    const std::vector<trazor::BusDef> expected{{QStringLiteral("Zähler"), {3, 2, 1, 0}}};
    EXPECT_EQ(rows().Buses(), expected);
    EXPECT_FALSE(rows().isHidden());
    EXPECT_EQ(rows().height(), BusRows::RowHeight);
    // Under the axis and its labels; the diagram and the window keep their size.
    const int axisY =
        trazor::axisY(trazor().LineOption().Line_distance(), trazor().Option().Digits(),
                      trazor().LineOption().Line_Maxhigh());
    EXPECT_GE(rows().y(), trazor().y() + axisY + 40);
    EXPECT_EQ(trazor().height(), diagramHeight);
    EXPECT_EQ(window->height(), 755);
    // In the program's own configuration, which the next start reads.
    EXPECT_EQ(ReadBuses(ProgramConfig(ProgramConfig::DefaultPath())), expected);
    EXPECT_EQ(ProgramConfig(ProgramConfig::DefaultPath()).Value("Busse", "Bus1"),
              QStringLiteral("3,2,1,0;Zähler"));

    // Cancelling the dialog changes nothing.
    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<BusDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->findChild<QListWidget*>(QStringLiteral("BusList"))->setCurrentRow(0);
        dialog->findChild<QPushButton*>(QStringLiteral("BusRemove"))->click();
        EXPECT_TRUE(dialog->Buses().empty());
        dialog->reject();
    });
    trigger("Busse1");
    EXPECT_EQ(rows().Buses(), expected);

    // Sixteen lines fill the diagram down to its labels: the window grows by
    // what the row lacks, and the axis stays in sight above it.
    window->SetMultiBit(16);
    QCoreApplication::processEvents();
    const int axis16 = trazor::axisY(trazor().LineOption().Line_distance(), 16,
                                     trazor().LineOption().Line_Maxhigh());
    EXPECT_GE(rows().y(), trazor().y() + axis16 + 40);
    EXPECT_LE(rows().geometry().bottom(), trazor().geometry().bottom());
    EXPECT_GT(window->height(), 755);
    window->SetMultiBit(8);
    QCoreApplication::processEvents();
    EXPECT_EQ(window->height(), 755);
}

TEST_F(BusTest, TheRowShowsValuesAtZoomStepsAndABandZoomedOut) {
    window->Buses().SetBuses({{QStringLiteral("Z"), {3, 2, 1, 0}}});
    fillCounter(1 << 20);
    trazor().Option().SetCellsPos(8);
    const trazor::ViewGeometry view = trazor().View();
    const std::vector<trazor::BusSegment> shown = valueSegments();
    ASSERT_GE(shown.size(), 2u);
    // Value 1 from cell 8 on, then 2 from cell 16: 8 cells wide each.
    EXPECT_EQ(shown[0], (trazor::BusSegment{0, 8 * view.cellWidth, 1}));
    EXPECT_EQ(shown[1], (trazor::BusSegment{8 * view.cellWidth, 16 * view.cellWidth, 2}));

    trigger("Alleszeigen1");
    ASSERT_TRUE(trazor().ZoomedOut());
    // Every column of the buffer holds changes; past its end the bus reads 0.
    const std::vector<trazor::BusSegment> whole = rows().Segments(0);
    ASSERT_FALSE(whole.empty());
    EXPECT_FALSE(whole[0].value);
    EXPECT_EQ(whole[0].first, 0);
    EXPECT_GE(whole[0].end, trazor().Scale().columnsFor((1 << 20) - 1));
    for (std::size_t i = 1; i < whole.size(); ++i)
        EXPECT_EQ(whole[i].value, 0u);
    // The band is drawn in the first line's colour across the row.
    const QImage picture = rows().grab().toImage();
    const QColor band = colors::toQColor(trazor().Option().DigiColor().Get(3));
    EXPECT_EQ(picture.pixelColor(view.originX + 100, BusRows::RowHeight / 2), band);
}

TEST_F(BusTest, AnImportedVectorArrivesAsABus) {
    writeFile(QStringLiteral("zaehler.vcd"), "$timescale 1 us $end\n"
                                             "$scope module top $end\n"
                                             "$var wire 1 ! clk $end\n"
                                             "$var reg 4 \" cnt [3:0] $end\n"
                                             "$upscope $end\n"
                                             "$enddefinitions $end\n"
                                             "#0\n0!\nb0000 \"\n"
                                             "#10\n1!\nb0101 \"\n"
                                             "#20\n0!\nb1010 \"\n"
                                             "#30\n1!\n");
    desktop.fileAnswers = {path(QStringLiteral("zaehler.vcd"))};
    trigger("Importieren1");
    ASSERT_TRUE(desktop.messages().empty()) << lastMessage().toStdString();
    const std::vector<trazor::BusDef> expected{{QStringLiteral("cnt"), {1, 2, 3, 4}}};
    EXPECT_EQ(rows().Buses(), expected);
    EXPECT_FALSE(rows().isHidden());
    std::vector<std::uint32_t> values;
    for (const trazor::BusSegment& s : valueSegments())
        values.push_back(*s.value);
    ASSERT_GE(values.size(), 3u);
    EXPECT_EQ(std::vector<std::uint32_t>(values.begin(), values.begin() + 3),
              (std::vector<std::uint32_t>{0x0, 0x5, 0xA}));
    EXPECT_EQ(ReadBuses(ProgramConfig(ProgramConfig::DefaultPath())), expected);
}
