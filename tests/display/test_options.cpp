#include "TrazorFixture.h"

#include <QImage>

namespace {

struct FreshTrazor : ::testing::Test {
    ScriptedDesktop desktop;
    QWidget owner;
    TTrazor* trazor = new TTrazor(&owner, desktop);
};

} // namespace

TEST_F(FreshTrazor, StartsWithTheComponentDefaults) {
    const TTrazorproperty& opt = trazor->Option();
    EXPECT_EQ(opt.CellsSize(), 8192);
    EXPECT_EQ(trazor->Stream(), std::vector<std::uint8_t>(16384, 0));
    EXPECT_EQ(opt.Digits(), 8);
    EXPECT_EQ(opt.TimeStep(), 10);
    EXPECT_EQ(opt.TimeScale(), 1);
    EXPECT_EQ(opt.TimeUnit(), QStringLiteral("µs"));
    EXPECT_EQ(opt.CopyMode(), 8);
    EXPECT_EQ(opt.Timefactor(), 0);
    EXPECT_EQ(opt.ColorBackground(), colors::White);
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(opt.DigiName().Get(i), QStringLiteral("D%1").arg(i, 2, 10, QLatin1Char('0')));
        EXPECT_EQ(opt.DigiColor().Get(i), colors::Black);
    }
    for (int r = 0; r < 3; ++r) {
        EXPECT_EQ(trazor->LineOption().Row(r).LowY, 25 + 20 * r);
        EXPECT_EQ(trazor->LineOption().Row(r).HighY, 10 + 20 * r);
    }
    EXPECT_EQ(trazor->LineOption().Global_Xpos(), 55);
    for (int m = 1; m <= 5; ++m) {
        EXPECT_EQ(trazor->Markers(m).MarkerColor, colors::Green);
        EXPECT_FALSE(trazor->Markers(m).Complete());
    }
    EXPECT_EQ(opt.Marker().MOrigin(), 0);
    EXPECT_TRUE(trazor->Ready());
    EXPECT_EQ(trazor->DrawMode(), 3);
}

TEST_F(FreshTrazor, SecondComponentOnTheSameOwnerIsRefused) {
    try {
        TTrazor second(&owner, desktop);
        FAIL() << "no exception";
    } catch (const ETrazorComponentExists& e) {
        EXPECT_STREQ(e.what(), "TTrazor-Komponente ist bereits vorhanden");
    }
    EXPECT_EQ(owner.findChildren<TTrazor*>().size(), 1);
    // Another owner may have its own.
    QWidget other;
    EXPECT_NO_THROW(TTrazor(&other, desktop));
}

TEST_F(FreshTrazor, CellsSizeTruncatesToMultiplesOf256) {
    TTrazorproperty& opt = trazor->Option();
    trazor->SetCellLow(3, 7);
    opt.SetCellsSize(8200); // truncates to the current size: nothing is cleared
    EXPECT_EQ(opt.CellsSize(), 8192);
    EXPECT_EQ(trazor->GetCellLow(3), 7);

    struct Case {
        int from, set, want;
    };
    const Case cases[] = {{1024, 8193, 8192},
                          {8192, 300, 256},
                          {8192, 255, 0},
                          {8192, 0x100000, 0x100000},
                          {1024, -512, 1024}};
    for (const Case& c : cases) {
        opt.SetCellsSize(c.from);
        trazor->SetCellLow(0, 1);
        opt.SetCellsSize(c.set);
        EXPECT_EQ(opt.CellsSize(), c.want) << c.set;
        const std::size_t bytes = 2 * std::size_t(c.want);
        EXPECT_EQ(trazor->Stream().size(), bytes) << c.set;
        if (c.want != c.from) {
            EXPECT_EQ(trazor->GetCellLow(0), 0) << c.set;
        }
    }
}

TEST_F(FreshTrazor, SettersClampOrReplaceOutOfRangeValues) {
    TTrazorproperty& opt = trazor->Option();
    struct Case {
        const char* name;
        void (TTrazorproperty::*set)(int);
        int (TTrazorproperty::*get)() const;
        int value, want;
    };
    const Case cases[] = {
        {"Digits 0", &TTrazorproperty::SetDigits, &TTrazorproperty::Digits, 0, 16},
        {"Digits 17", &TTrazorproperty::SetDigits, &TTrazorproperty::Digits, 17, 16},
        {"Digits 5", &TTrazorproperty::SetDigits, &TTrazorproperty::Digits, 5, 5},
        {"TimeStep 1", &TTrazorproperty::SetTimeStep, &TTrazorproperty::TimeStep, 1, 10},
        {"TimeStep 103", &TTrazorproperty::SetTimeStep, &TTrazorproperty::TimeStep, 103, 10},
        {"TimeStep 102", &TTrazorproperty::SetTimeStep, &TTrazorproperty::TimeStep, 102, 102},
        {"TimeStep 2", &TTrazorproperty::SetTimeStep, &TTrazorproperty::TimeStep, 2, 2},
        {"TimeScale -3", &TTrazorproperty::SetTimeScale, &TTrazorproperty::TimeScale, -3, 1},
        {"TimeScale 1000", &TTrazorproperty::SetTimeScale, &TTrazorproperty::TimeScale, 1000, 1000},
        {"CopyMode 256", &TTrazorproperty::SetCopyMode, &TTrazorproperty::CopyMode, 256, 8},
        {"CopyMode -1", &TTrazorproperty::SetCopyMode, &TTrazorproperty::CopyMode, -1, 8},
        {"CopyMode 0", &TTrazorproperty::SetCopyMode, &TTrazorproperty::CopyMode, 0, 0},
        {"CellsPos -5", &TTrazorproperty::SetCellsPos, &TTrazorproperty::CellsPos, -5, 0},
        {"CellsPos size+10", &TTrazorproperty::SetCellsPos, &TTrazorproperty::CellsPos, 8202, 8192},
        {"CellsPos size", &TTrazorproperty::SetCellsPos, &TTrazorproperty::CellsPos, 8192, 8192},
        {"Timefactor -7", &TTrazorproperty::SetTimefactor, &TTrazorproperty::Timefactor, -7, -7},
    };
    for (const Case& c : cases) {
        (opt.*c.set)(c.value);
        EXPECT_EQ((opt.*c.get)(), c.want) << c.name;
    }
}

TEST_F(FreshTrazor, IndexedNamesAndColoursIgnoreIndexesAbove15) {
    TTrazorproperty& opt = trazor->Option();
    opt.DigiName().Set(16, QStringLiteral("X"));
    opt.DigiColor().Set(16, 0x123456);
    EXPECT_EQ(opt.DigiName().Get(16), QString());
    EXPECT_EQ(opt.DigiColor().Get(16), 0u);
    opt.DigiName().Set(3, QStringLiteral("Takt"));
    opt.DigiColor().Set(3, colors::Red);
    EXPECT_EQ(opt.DigiName().Get(3), QStringLiteral("Takt"));
    EXPECT_EQ(opt.DigiColor().Get(3), colors::Red);
}

TEST_F(FreshTrazor, ColordefaultColoursTheShownLinesOnly) {
    TTrazorproperty& opt = trazor->Option();
    opt.SetDigits(5);
    opt.DigiColor().SetColordefault(colors::Red);
    EXPECT_EQ(opt.DigiColor().Colordefault(), colors::Red);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(opt.DigiColor().Get(i), i < 5 ? colors::Red : 0u) << i;
}

TEST_F(FreshTrazor, MarkerColourFollowsOnlyARealChange) {
    TTrazorproperty& opt = trazor->Option();
    opt.SetColorMarker(colors::Black); // black over the initial black: no change
    EXPECT_EQ(trazor->Markers(1).MarkerColor, colors::Green);
    opt.SetColorMarker(colors::Red);
    for (int m = 1; m <= 5; ++m)
        EXPECT_EQ(trazor->Markers(m).MarkerColor, colors::Red);
}

TEST_F(FreshTrazor, LineOptionWritesKeepTheRowsUntilRecalcLines) {
    TLineVariable& lines = trazor->LineOption();
    lines.SetLine_distance(33);
    EXPECT_EQ(lines.Get(TLineVariable::LineDistance), 33);
    EXPECT_EQ(lines.Row(0).LowY, 25);
    lines.RecalcLines(10);
    EXPECT_EQ(lines.Row(0).LowY, 38);
    EXPECT_EQ(lines.Get(6), 0);
    EXPECT_EQ(lines.Get(-1), 0);
    lines.SetLine_length(0); // a cell needs a width
    EXPECT_EQ(lines.Line_length(), 1);
    lines.SetDefaults();
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(lines.Get(i), (std::array{20, 5, 15, 1, 4, 55})[i]);
}

// Whether a setter redrew is seen in the bitmap: the buffer is changed behind
// the picture's back, so a signal redraw shows the new data, and a redraw of
// scale and base lines alone wipes the drawn waveform.
class OptionRedraws : public TrazorFixture {
  protected:
    void SetUp() override {
        TrazorFixture::SetUp();
        for (int cell = 0; cell < 30; cell += 2)
            setLine(cell, 0, true);
        refresh();
        drawn = trazor->Bitmap().copy();
    }
    bool waveformShown() const { return pixel(70 + 30 * 2 + 15, 12) == colors::Black; }
    bool changed() const { return trazor->Bitmap() != drawn; }

    QImage drawn;
};

TEST_F(OptionRedraws, UnchangedUnitIsIgnoredAChangedOneRedrawsTheScale) {
    trazor->Option().SetTimeUnit(QStringLiteral("µs"));
    EXPECT_FALSE(changed());
    trazor->Option().SetTimeUnit(QStringLiteral("ms"));
    EXPECT_TRUE(changed());
    EXPECT_FALSE(waveformShown());
}

TEST_F(OptionRedraws, DigitsTimeStepAndTimeScaleRedrawEvenWhenUnchanged) {
    trazor->Option().SetDigits(8);
    EXPECT_FALSE(waveformShown());
    refresh();
    trazor->Option().SetTimeStep(10);
    EXPECT_FALSE(waveformShown());
    refresh();
    trazor->Option().SetTimeScale(1);
    EXPECT_FALSE(waveformShown());
}

TEST_F(OptionRedraws, ColourAndNameWritesRedrawTheSignalsEvenOutOfRange) {
    for (int cell = 0; cell < 30; ++cell)
        setLine(cell, 0, false);
    trazor->Option().DigiColor().Set(16, colors::Red);
    EXPECT_FALSE(waveformShown()); // the cleared buffer is drawn
    setLine(2, 0, true);
    trazor->Option().DigiName().Set(16, QStringLiteral("X"));
    EXPECT_TRUE(waveformShown());
}

TEST_F(OptionRedraws, NameRedrawKeepsTheAxisOnTheShownCells) {
    trazor->Option().SetCellsPos(100);
    refresh();
    const QImage at100 = trazor->Bitmap().copy();
    trazor->Option().DigiName().Set(0, QStringLiteral("D00")); // unchanged: nothing
    EXPECT_EQ(trazor->Bitmap(), at100);
    trazor->Option().DigiName().Set(0, QStringLiteral("CLK"));
    const QImage named = trazor->Bitmap().copy();
    EXPECT_NE(named, at100);
    refresh();
    EXPECT_EQ(trazor->Bitmap(), named);
}

TEST_F(OptionRedraws, EqualColoursAreIgnored) {
    trazor->Option().SetColorFont(colors::Black);
    trazor->Option().SetColorScale(colors::Black);
    trazor->Option().SetColorBackground(colors::White);
    trazor->Option().DigiColor().Set(0, colors::Black);
    trazor->LineOption().SetGlobal_Xpos(70);
    EXPECT_FALSE(changed());
    trazor->LineOption().SetGlobal_Xpos(71);
    EXPECT_TRUE(changed());
}
