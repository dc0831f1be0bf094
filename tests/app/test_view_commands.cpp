#include "MainWindowFixture.h"
#include "app/TNewHintWindow.h"
#include "app/UpDownPair.h"
#include "app/ViewCommands.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QWheelEvent>
#include <functional>
#include <QCoreApplication>
#include <QLabel>
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
    // The time of cell 524288 at 10 µs per cell.
    EXPECT_EQ(window->ScrollHint()->text(), QStringLiteral("5242880 µs"));
    EXPECT_FALSE(window->ScrollHint()->Tracking());
    EXPECT_EQ(window->State().HintAnchorPos, window->Ui().ScrollBar1->value());

    pos = 4096;
    view().ScrollBar1Scroll(ViewCommands::ScrollCode::Position, pos);
    EXPECT_EQ(trazor().Option().CellsPos(), 524288 + 1) << "the release scrolls one cell on";
    EXPECT_EQ(window->ScrollHint()->text(), QStringLiteral("5242880 µs"));
}

TEST_F(ViewCommandsTest, LineCountUnitAndPeriodChangesKeepTheWaveforms) {
    window->show();
    for (int i = 0; i < 200; ++i) {
        trazor().SetCellLow(i, std::uint8_t(i * 37 + 11));
        trazor().SetCellHigh(i, std::uint8_t(i * 5 + 3));
    }
    trazor().Option().SetCellsPos(40);
    trigger("DatenneuAnzeigen1");
    for (const char* command : {"Bit4", "Bit12", "EinheitMilliSek1", "EinheitSek1",
                                "EinheitMikroSek1", "N10ms1", "N100ms1", "CPU769s1",
                                "PortAuswahl5", "PortAuswahl1"}) {
        trigger(command);
        const QImage shown = trazor().Bitmap().copy();
        trigger("DatenneuAnzeigen1");
        EXPECT_EQ(shown, trazor().Bitmap()) << command << " leaves the picture a redraw gives";
    }
}

// The display's unit names the time where it describes the 10 µs cells; a
// unit that does not leaves the hint at the recording's own time, as the axis.
TEST_F(ViewCommandsTest, ScrollHintShowsTheTimeOfTheFirstShownCell) {
    struct Case {
        const char* unitItem;
        int timefactor;
        int position;
        const char* shown;
    } cases[] = {
        {"EinheitMikroSek1", 10, 1, "1280 µs"},     // cell 128
        {"EinheitMilliSek1", 10, 8000, "10,24 s"},  // cell 1024000
        {"EinheitSek1", 1, 100, "128,00 ms"},       // cell 12800
    };
    for (const Case& c : cases) {
        trigger(c.unitItem);
        trazor().Option().SetTimefactor(c.timefactor);
        int pos = c.position;
        view().ScrollBar1Scroll(ViewCommands::ScrollCode::Track, pos);
        EXPECT_EQ(window->ScrollHint()->text(), QString::fromUtf8(c.shown)) << c.unitItem;
    }
}

namespace {
void sendWheel(QWidget* widget, int angle) {
    const QPointF at(widget->width() / 2.0, widget->height() / 2.0);
    QWheelEvent wheel(at, widget->mapToGlobal(at), QPoint(), QPoint(0, angle), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(widget, &wheel);
}
void sendKey(QWidget* widget, int key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &press);
}
void sendMouse(QWidget* widget, QEvent::Type type, QPoint at) {
    QMouseEvent event(type, at, widget->mapToGlobal(at), Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &event);
}
} // namespace

TEST_F(ViewCommandsTest, WheelAndKeysOnTheScrollBarScrollTheDiagramWithoutAHint) {
    window->show();
    QCoreApplication::processEvents();
    QScrollBar* bar = window->Ui().ScrollBar1;
    EXPECT_TRUE(bar->focusPolicy() & Qt::ClickFocus) << "keys reach a clicked bar";
    const int f = trazor().Option().CellsSize() / 8192;
    struct Step {
        const char* what;
        std::function<void()> act;
    } steps[] = {
        {"wheel forward", [&] { sendWheel(bar, -120); }},
        {"wheel back", [&] { sendWheel(bar, 120); }},
        {"wheel forward again", [&] { sendWheel(bar, -120); }},
        {"arrow key", [&] { sendKey(bar, Qt::Key_Right); }},
        {"page key", [&] { sendKey(bar, Qt::Key_PageDown); }},
        {"end key", [&] { sendKey(bar, Qt::Key_End); }},
        {"home key", [&] { sendKey(bar, Qt::Key_Home); }},
    };
    for (const Step& step : steps) {
        const int before = bar->value();
        const QImage picture = trazor().Bitmap().copy();
        step.act();
        QCoreApplication::processEvents();
        EXPECT_NE(bar->value(), before) << step.what;
        // A line or page move scrolls one cell past the bar's position; the
        // ends of the bar show exactly its position.
        EXPECT_LE(std::abs(trazor().Option().CellsPos() - bar->value() * f), 1) << step.what;
        EXPECT_NE(trazor().Bitmap(), picture) << step.what << ": the diagram follows the bar";
        EXPECT_FALSE(window->ScrollHint()->isVisible()) << step.what;
    }
}

TEST_F(ViewCommandsTest, DraggingTheThumbShowsTheHintUntilItIsLetGo) {
    window->show();
    QCoreApplication::processEvents();
    QScrollBar* bar = window->Ui().ScrollBar1;
    QStyleOptionSlider option;
    option.initFrom(bar);
    option.orientation = Qt::Horizontal;
    option.minimum = bar->minimum();
    option.maximum = bar->maximum();
    option.sliderPosition = bar->sliderPosition();
    option.sliderValue = bar->value();
    option.pageStep = bar->pageStep();
    option.singleStep = bar->singleStep();
    const QRect thumb =
        bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, bar);
    ASSERT_TRUE(thumb.isValid());

    sendMouse(bar, QEvent::MouseButtonPress, thumb.center());
    sendMouse(bar, QEvent::MouseMove, thumb.center() + QPoint(bar->width() / 3, 0));
    EXPECT_GT(bar->sliderPosition(), 0);
    EXPECT_TRUE(window->ScrollHint()->isVisible()) << "the hint follows a dragged thumb";
    sendMouse(bar, QEvent::MouseButtonRelease, thumb.center() + QPoint(bar->width() / 3, 0));
    const int cells = bar->value() * (trazor().Option().CellsSize() / 8192);
    EXPECT_EQ(trazor().Option().CellsPos(), cells + 1) << "the release shows the diagram there";

    QElapsedTimer waited;
    waited.start();
    while (window->ScrollHint()->isVisible() && waited.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_FALSE(window->ScrollHint()->isVisible()) << "the hint goes once the thumb is let go";
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

TEST_F(ViewCommandsTest, ToolPanelKeepsEveryTextAndNothingOverlapsWithTheBitIndicators) {
    window->show();
    trigger("Eingabeprogrammieren1");
    trigger("SteuerinBitszeigen1");
    for (const int width : {864, 1200, 300}) {
        window->resize(width, window->height());
        QCoreApplication::processEvents();
        SCOPED_TRACE(width);
        EXPECT_GE(window->width(), std::min(width, window->minimumWidth()));
        const MainUi& ui = window->Ui();
        for (const QLabel* label : {ui.Label11, ui.Label1, ui.Label2, ui.Label7})
            EXPECT_GE(label->width(), label->sizeHint().width())
                << label->text().toStdString() << " is cut";
        // Every control of the row, in the panel's coordinates.
        std::vector<std::pair<QString, QRect>> shown;
        const QWidget* bits = ui.ToolPanel->findChild<QWidget*>(QStringLiteral("BitIndicators"));
        ASSERT_NE(bits, nullptr);
        for (QWidget* w : ui.ToolPanel->findChildren<QWidget*>()) {
            const bool inRow = w->parentWidget() == ui.ToolPanel && w != bits;
            if (!w->isVisible() || !(inRow || w->parentWidget() == bits)) continue;
            shown.emplace_back(w->objectName(),
                               QRect(w->mapTo(ui.ToolPanel, QPoint(0, 0)), w->size()));
        }
        EXPECT_GE(shown.size(), 20u) << "labels, buttons, bar and the eight indicators";
        for (size_t i = 0; i < shown.size(); ++i) {
            EXPECT_LE(shown[i].second.right(), ui.ToolPanel->width())
                << shown[i].first.toStdString() << " runs off the panel";
            for (size_t j = i + 1; j < shown.size(); ++j)
                EXPECT_FALSE(shown[i].second.intersects(shown[j].second))
                    << shown[i].first.toStdString() << " overlaps " << shown[j].first.toStdString();
        }
    }
}
