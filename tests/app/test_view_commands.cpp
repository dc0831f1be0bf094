#include "MainWindowFixture.h"
#include "app/TNewHintWindow.h"
#include "app/UpDownPair.h"
#include "app/ViewCommands.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QMenuBar>
#include <QScrollBar>
#include <QTimer>
#include <QToolButton>

class ViewCommandsTest : public MainWindowTest {
  protected:
    ViewCommands& view() { return window->View(); }
    void chooseZoom(const QString& text) {
        QComboBox* box = window->Ui().ScaleTimeComboBox1;
        box->setEditText(text);
        emit box->textActivated(text);
    }
    QString zoomField() const { return window->Ui().ScaleTimeComboBox1->currentText(); }
};

TEST_F(ViewCommandsTest, ZoomFieldEntriesSetTheTimeStep) {
    struct Case {
        const char* entry;
        int timeStep;
        const char* shown;
    } cases[] = {{"0%", 2, "0%"},
                 {"100%", 102, "100%"},
                 {"25", 27, "25%"},
                 {"50%", 52, "50%"},
                 {"300", 10, "300%"}};
    for (const auto& c : cases) {
        chooseZoom(QString::fromLatin1(c.entry));
        EXPECT_EQ(trazor().Option().TimeStep(), c.timeStep) << c.entry;
        EXPECT_EQ(zoomField(), QString::fromLatin1(c.shown)) << c.entry;
    }
}

TEST_F(ViewCommandsTest, ZoomFieldTakesThreeTypedCharactersButShowsListEntries) {
    QLineEdit* edit = window->Ui().ScaleTimeComboBox1->lineEdit();
    edit->clear();
    for (const QChar c : QStringLiteral("1234"))
        edit->insert(QString(c));
    EXPECT_EQ(edit->text(), QStringLiteral("123"));
    chooseZoom(QStringLiteral("100%"));
    EXPECT_EQ(zoomField(), QStringLiteral("100%"));
}

TEST_F(ViewCommandsTest, ZoomFieldRejectsTextThatIsNoNumber) {
    trazor().Option().SetTimeStep(30);
    chooseZoom(QStringLiteral("ab%"));
    EXPECT_EQ(trazor().Option().TimeStep(), 30);
    EXPECT_EQ(lastMessage(), QStringLiteral("'ab' ist kein gültiger Integerwert"));
}

TEST_F(ViewCommandsTest, EnlargingAt102WrapsTo10AndShows8Percent) {
    chooseZoom(QStringLiteral("100%"));
    window->Ui().ButtonScaleTimeUp->click();
    EXPECT_EQ(trazor().Option().TimeStep(), 10);
    EXPECT_EQ(zoomField(), QStringLiteral("8%"));
    window->Ui().ButtonScaleTimeDown->click();
    EXPECT_EQ(trazor().Option().TimeStep(), 9);
    EXPECT_EQ(zoomField(), QStringLiteral("7%"));
}

TEST_F(ViewCommandsTest, ResolutionItemsStepTheTimeStep) {
    trigger("Aufoesungp10");
    EXPECT_EQ(trazor().Option().TimeStep(), 20);
    trigger("Aufloesungn10");
    EXPECT_EQ(trazor().Option().TimeStep(), 10);
    trigger("Aufoesungp1");
    EXPECT_EQ(trazor().Option().TimeStep(), 11);
    trigger("Aufloesungn1");
    EXPECT_EQ(trazor().Option().TimeStep(), 10);
}

TEST_F(ViewCommandsTest, UnitItemsSetUnitScaleAndLiveTimer) {
    struct Case {
        const char* item;
        const char* unit;
        int scale;
        int interval;
    } cases[] = {{"EinheitMilliSek1", "ms", 10, 10},
                 {"EinheitSek1", " s", 1, 1000},
                 {"EinheitMikroSek1", "µs", 10, 1}};
    for (const auto& c : cases) {
        trigger(c.item);
        EXPECT_EQ(trazor().Option().TimeUnit(), QString::fromUtf8(c.unit)) << c.item;
        EXPECT_EQ(trazor().Option().TimeScale(), c.scale) << c.item;
        EXPECT_EQ(window->Ui().SimultanTimer1->interval(), c.interval) << c.item;
    }
}

TEST_F(ViewCommandsTest, DraggingTheThumbTo4096ShowsTheHintFromTheAbsoluteCell) {
    int pos = 4096;
    view().ScrollBar1Scroll(ViewCommands::ScrollCode::Track, pos);
    EXPECT_EQ(trazor().Option().CellsPos(), 524288);
    EXPECT_EQ(window->ScrollHint()->text(), QStringLiteral("67108864 µs"));
    EXPECT_FALSE(window->ScrollHint()->Tracking());
    EXPECT_EQ(window->State().HintAnchorPos, window->Ui().ScrollBar1->value());

    pos = 4096;
    view().ScrollBar1Scroll(ViewCommands::ScrollCode::Position, pos);
    EXPECT_EQ(trazor().Option().CellsPos(), 524288 + 1) << "the release scrolls one cell on";
    EXPECT_EQ(window->ScrollHint()->text(), QStringLiteral("524288"));
}

TEST_F(ViewCommandsTest, LineStepsStopAtTheEndsOfTheBar) {
    int pos = 0;
    view().ScrollBar1Scroll(ViewCommands::ScrollCode::LineBack, pos);
    EXPECT_EQ(pos, 0);
    EXPECT_EQ(trazor().Option().CellsPos(), 0);

    pos = 8192;
    view().ScrollBar1Scroll(ViewCommands::ScrollCode::LineForward, pos);
    EXPECT_EQ(pos, 8192);
    EXPECT_EQ(trazor().Option().CellsPos(), trazor().Option().CellsSize());

    pos = 100;
    view().ScrollBar1Scroll(ViewCommands::ScrollCode::LineForward, pos);
    EXPECT_EQ(pos, 101);
    EXPECT_EQ(trazor().Option().CellsPos(), 101 * 128 + 1);
}

TEST_F(ViewCommandsTest, ThumbAtTheEndsBeeps) {
    int pos = 0;
    view().ScrollBar1Scroll(ViewCommands::ScrollCode::Track, pos);
    pos = 8192;
    view().ScrollBar1Scroll(ViewCommands::ScrollCode::Track, pos);
    EXPECT_EQ(desktop.beeps(), 2);
}

TEST_F(ViewCommandsTest, ArrowPairsScrollByOneAnd200Cells) {
    UpDownPair* one = window->Ui().ButtonZeitachsenEinheit_1;
    UpDownPair* many = window->Ui().ButtonZeitachsenEinheit_200;
    many->Press(UpDownPair::Arrow::Forward);
    EXPECT_EQ(trazor().Option().CellsPos(), 200);
    EXPECT_EQ(window->Ui().ScrollBar1->value(), 200 / 128);
    one->Press(UpDownPair::Arrow::Forward);
    EXPECT_EQ(trazor().Option().CellsPos(), 201);
    one->Press(UpDownPair::Arrow::Back);
    many->Press(UpDownPair::Arrow::Back);
    EXPECT_EQ(trazor().Option().CellsPos(), 0);
    many->Press(UpDownPair::Arrow::Back);
    EXPECT_EQ(trazor().Option().CellsPos(), 0);
}

TEST_F(ViewCommandsTest, ResizingSnapsBackTo755) {
    window->show();
    window->resize(1000, 600);
    QCoreApplication::processEvents();
    EXPECT_EQ(window->height(), 755);
    EXPECT_EQ(window->width(), 1000);
    EXPECT_EQ(trazor().width(), window->width() - 1);
    EXPECT_EQ(window->Ui().ScrollBar1->width(), window->width() - 1);
}

TEST_F(ViewCommandsTest, ClearingTheViewThenRedrawingShowsTheSameData) {
    window->show();
    QCoreApplication::processEvents();
    for (int i = 0; i < 40; i += 3)
        trazor().SetCellLow(i, std::uint8_t(0x5A ^ i));
    trigger("DatenneuAnzeigen1");
    const QImage before = trazor().Bitmap().copy();
    window->Ui().ScrollBar1->setValue(17);
    trigger("Anzeigelschen1");
    EXPECT_NE(trazor().Bitmap(), before);
    EXPECT_EQ(window->Ui().ScrollBar1->value(), 0);
    EXPECT_EQ(panel(4), QStringLiteral(" Digi-Status: Anzeige wird gelöscht !"));
    trigger("DatenneuAnzeigen1");
    EXPECT_EQ(trazor().Bitmap(), before);
    EXPECT_EQ(panel(4), QStringLiteral(" Digi-Status: Daten werden neu gezeichnet"));
}

TEST_F(ViewCommandsTest, ColourCommandsApplyOnlyAConfirmedColour) {
    desktop.colorAnswers = {std::nullopt, 0x00FF00u};
    trigger("Hintergrundfarbe1");
    EXPECT_EQ(trazor().Option().ColorBackground(), 0xFFFFFFu);
    trigger("Hintergrundfarbe1");
    EXPECT_EQ(trazor().Option().ColorBackground(), 0x00FF00u);

    desktop.colorAnswers = {0x0000FFu};
    trigger("Bitfarbe41");
    EXPECT_EQ(trazor().Option().DigiColor().Get(3), 0x0000FFu);
    desktop.colorAnswers = {0x123456u};
    trigger("AlleLinienmiteinerFarbe1");
    EXPECT_EQ(trazor().Option().DigiColor().Get(0), 0x123456u);
    EXPECT_EQ(trazor().Option().DigiColor().Get(7), 0x123456u);
    desktop.colorAnswers = {0x654321u};
    trigger("Gitterfarbe1");
    EXPECT_EQ(trazor().Option().ColorMarker(), 0x654321u);
}

TEST_F(ViewCommandsTest, LineNameCommandsUseTheBitTextDialog) {
    QString shown;
    view().SetLineNameEditor([&](int, const QString& current) -> std::optional<QString> {
        shown = current;
        return QString();
    });
    trigger("BitText10");
    EXPECT_EQ(shown, QStringLiteral("D09"));
    EXPECT_EQ(trazor().Option().DigiName().Get(9), QString());

    view().SetLineNameEditor(
        [](int, const QString&) -> std::optional<QString> { return std::nullopt; });
    trigger("BitText1");
    EXPECT_EQ(trazor().Option().DigiName().Get(0), QStringLiteral("D00"));
}
