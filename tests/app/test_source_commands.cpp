#include "MainWindowFixture.h"
#include "app/LiveCommands.h"
#include "app/SourceCommands.h"

#include <QActionGroup>
#include <QCheckBox>
#include <QTimer>
#include <QToolButton>
#include <functional>

using SourceCommandsTest = MainWindowTest;

TEST_F(SourceCommandsTest, StartUpReadsThePinChecksFromTheControlRegister) {
    // The virtual port starts with control 0: /STR and /ALF released, /INI driven low.
    EXPECT_FALSE(action("STR2")->isChecked());
    EXPECT_FALSE(action("ALF1")->isChecked());
    EXPECT_TRUE(action("INI1")->isChecked());
}

TEST_F(SourceCommandsTest, InputOnLpt1ProgramsTheControlRegisterAndShowsThePanels) {
    port->log.clear();
    trigger("Eingabeprogrammieren1");
    const QStringList writes = port->Writes();
    ASSERT_GE(writes.size(), 2);
    EXPECT_EQ(writes[0], QStringLiteral("W 37A 2F"));
    EXPECT_EQ(writes[1], QStringLiteral("W 378 00"));
    EXPECT_EQ(port->inner.Control(0x378) & 0x2F, 0x2F);

    EXPECT_EQ(panel(0), QStringLiteral(" Port $0378"));
    EXPECT_EQ(panel(1), QStringLiteral(" Steuer $2F"));
    EXPECT_TRUE(panel(2).startsWith(QStringLiteral(" Status $")));
    EXPECT_TRUE(panel(3).startsWith(QStringLiteral(" Daten $")));
    EXPECT_EQ(panel(4), QStringLiteral(" Digi-Status: Port aktiviert"));

    EXPECT_EQ(window->State().InputSource, 0);
    EXPECT_EQ(window->State().InputProgrammed, 1);
    EXPECT_FALSE(window->Ui().Timer4->isActive());
    EXPECT_EQ(window->IndicatorColor(), 0x008000u);
    EXPECT_FALSE(action("Auswhlen1")->isEnabled());
    EXPECT_FALSE(action("Eingabeprogrammieren1")->isEnabled());
    EXPECT_TRUE(action("Ausgabeprogrammieren1")->isEnabled());
    EXPECT_TRUE(action("MNMenuSynchronmodus")->isEnabled());
    EXPECT_TRUE(action("MNMenuAufzeichnen")->isEnabled());
    EXPECT_TRUE(window->Ui().ButtonRecord_Signal->isEnabled());
    EXPECT_TRUE(window->Ui().ButtonPlay_Scan->isEnabled());
    // /STR and /ALF now read back set from the 0x2F pattern.
    EXPECT_TRUE(action("STR2")->isChecked());
    EXPECT_TRUE(action("ALF1")->isChecked());
}

TEST_F(SourceCommandsTest, AdapterWithPrinterSignalsWritesOnlyTheControlSequence) {
    trigger("PortAuswahl4");
    EXPECT_EQ(window->State().PortBase, 0x278);
    EXPECT_EQ(trazor().Option().Digits(), 12);
    EXPECT_TRUE(action("ACKBSYPAPOFON1")->isChecked());
    EXPECT_FALSE(action("ALFFEHINIDSL1")->isChecked());
    EXPECT_TRUE(action("PortAuswahl3x")->isChecked());
    EXPECT_FALSE(action("PortAuswahl1")->isChecked());
    EXPECT_EQ(window->Ui().Portzustand->text(), QStringLiteral("LPT2"));

    port->log.clear();
    trigger("Eingabeprogrammieren1");
    const QStringList writes = port->Writes();
    ASSERT_GE(writes.size(), 3);
    EXPECT_EQ(writes.mid(0, 3), (QStringList{QStringLiteral("W 27A 04"), QStringLiteral("W 27A 04"),
                                             QStringLiteral("W 27A 24")}));
    for (const QString& w : writes)
        EXPECT_FALSE(w.startsWith(QStringLiteral("W 278 "))) << w.toStdString();
}

TEST_F(SourceCommandsTest, AdapterWithTheOtherSignalsWritesNoRegister) {
    trigger("PortAuswahl3");
    trigger("ALFFEHINIDSL1");
    EXPECT_TRUE(action("ALFFEHINIDSL1")->isChecked());
    EXPECT_FALSE(action("ACKBSYPAPOFON1")->isChecked());
    port->log.clear();
    trigger("Eingabeprogrammieren1");
    EXPECT_TRUE(port->Writes().isEmpty()) << port->Writes().join(QLatin1Char(',')).toStdString();
}

TEST_F(SourceCommandsTest, OutputProgrammingWarnsBeforeAnyRegisterChanges) {
    trigger("Eingabeprogrammieren1");
    port->log.clear();
    qsizetype writesWhenAsked = -1;
    desktop.onMessage = [&](const Desktop::MessageBoxRequest&) {
        writesWhenAsked = port->Writes().size();
    };
    trigger("Ausgabeprogrammieren1");
    EXPECT_EQ(writesWhenAsked, 0);
    ASSERT_FALSE(desktop.messages().empty());
    const auto box = desktop.messages().front();
    EXPECT_EQ(box.caption, QStringLiteral("Information"));
    EXPECT_EQ(
        box.text,
        QStringLiteral("ACHTUNG !!\rDer Druckerport wird wieder als Ausgabeeinheit programmiert.\r"
                       "Bitte die Eingabegeräte vom Druckerport trennen, da sonst\r"
                       "Kurzschlußgefahr besteht."));
    EXPECT_EQ(desktop.beeps(), 1);
    // OR 0x03 then AND 0xDD: bit 0 ends 1, bits 1 and 5 end 0.
    EXPECT_EQ(port->inner.Control(0x378) & 0x23, 0x01);
    EXPECT_EQ(panel(4), QStringLiteral(" Digi-Status: LPT-Port als Ausgabe programmiert."));
    EXPECT_TRUE(action("Eingabeprogrammieren1")->isEnabled());
    EXPECT_FALSE(action("Ausgabeprogrammieren1")->isEnabled());
    EXPECT_FALSE(action("MNMenuAufzeichnen")->isEnabled());
    EXPECT_FALSE(window->Ui().ButtonRecord_Signal->isEnabled());
    EXPECT_TRUE(window->Ui().ButtonScaleTimeUp->isEnabled());
    EXPECT_TRUE(window->Ui().Timer4->isActive());
    EXPECT_EQ(window->IndicatorColor(), 0x0000FFu);
}

TEST_F(SourceCommandsTest, PinTogglesTwiceReturnToTheStart) {
    struct Pin {
        const char* item;
        std::uint8_t bit;
    } pins[] = {{"STR2", 0x01}, {"ALF1", 0x02}, {"INI1", 0x04}};
    for (const auto& p : pins) {
        const std::uint8_t before = port->inner.Control(0x378);
        const bool checkedBefore = action(p.item)->isChecked();
        trigger(p.item);
        EXPECT_EQ(port->inner.Control(0x378) ^ before, p.bit) << p.item;
        const bool low = p.bit == 0x04 ? (port->inner.Control(0x378) & p.bit) == 0
                                       : (port->inner.Control(0x378) & p.bit) != 0;
        EXPECT_EQ(action(p.item)->isChecked(), low) << p.item;
        trigger(p.item);
        EXPECT_EQ(port->inner.Control(0x378), before) << p.item;
        EXPECT_EQ(action(p.item)->isChecked(), checkedBefore) << p.item;
    }
}

TEST_F(SourceCommandsTest, BitDisplayShowsTheControlRegister) {
    trigger("Eingabeprogrammieren1");
    trigger("SteuerinBitszeigen1");
    const std::uint8_t control = port->inner.Control(0x378);
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(window->Ui().Bits[size_t(i)]->isChecked(), ((control >> i) & 1) != 0) << i;
        EXPECT_FALSE(window->Ui().Bits[size_t(i)]->isHidden()) << i;
    }
}

TEST_F(SourceCommandsTest, ClosingAfterInputProgrammingReturnsThePortToOutput) {
    trigger("Eingabeprogrammieren1");
    desktop.clear();
    window->close();
    ASSERT_EQ(desktop.messages().size(), 1u);
    EXPECT_EQ(desktop.messages()[0].caption, QStringLiteral("Information"));
    EXPECT_EQ(panel(0), QStringLiteral(" Port $0378"));
}

namespace {
// The three pin marks as the control register asks for them: checked = pin driven low.
struct PinMarks {
    bool str, alf, ini;
    bool operator==(const PinMarks&) const = default;
};
PinMarks marksFor(std::uint8_t control) {
    return {(control & 0x01) != 0, (control & 0x02) != 0, (control & 0x04) == 0};
}
} // namespace

TEST_F(SourceCommandsTest, PinMarksFollowEveryRegisterSequence) {
    const auto shown = [this] {
        return PinMarks{action("STR2")->isChecked(), action("ALF1")->isChecked(),
                        action("INI1")->isChecked()};
    };
    const auto control = [this] { return port->inner.Control(0x378); };
    // The adapter in printer-signal mode moves all three pins at each step.
    trigger("PortAuswahl3");
    struct Step {
        const char* what;
        std::function<void()> act;
    } steps[] = {
        {"input programmed", [&] { trigger("Eingabeprogrammieren1"); }},
        {"recording",
         [&] {
             trigger("MenuRecord_5_Sek");
             trigger("MenuRecord_Signal");
         }},
        {"live start", [&] { window->Live().Hauptsimultan(); }},
        {"live stop", [&] { window->Live().Hauptsimultanstop(); }},
        {"output programmed", [&] { trigger("Ausgabeprogrammieren1"); }},
    };
    for (const Step& step : steps) {
        step.act();
        EXPECT_EQ(shown(), marksFor(control())) << step.what << ", control " << int(control());
    }
}

TEST_F(SourceCommandsTest, SourcesAndSamplePeriodsAreExclusiveRadioItems) {
    for (const char* name : {"PortAuswahl1", "PortAuswahl3x", "PortAuswahl5x", "CPU769s1",
                             "N1ms1", "N10sek2", "Bit8"}) {
        const QActionGroup* group = action(name)->actionGroup();
        ASSERT_NE(group, nullptr) << name;
        EXPECT_EQ(group->exclusionPolicy(), QActionGroup::ExclusionPolicy::Exclusive) << name;
    }
    EXPECT_EQ(action("N20ms1")->actionGroup(), nullptr) << "\"20\" is no radio item";

    const char* sources[] = {"PortAuswahl1", "PortAuswahl2", "PortAuswahl3x", "PortAuswahl5x"};
    const auto chosen = [&] {
        QStringList out;
        for (const char* name : sources) {
            QAction* a = action(name);
            const int image = a->property("imageIndex").toInt();
            if (a->isChecked() || image == 50 || image == 54) out << QString::fromLatin1(name);
        }
        return out;
    };
    const struct {
        const char* command;
        const char* looksChosen;
    } choices[] = {{"PortAuswahl3", "PortAuswahl3x"},
                   {"PortAuswahl1", "PortAuswahl1"},
                   {"PortAuswahl4", "PortAuswahl3x"},
                   {"PortAuswahl6", "PortAuswahl5x"},
                   {"PortAuswahl2", "PortAuswahl2"}};
    for (const auto& c : choices) {
        trigger(c.command);
        EXPECT_EQ(chosen(), QStringList{QString::fromLatin1(c.looksChosen)}) << c.command;
    }
    // Choosing the chosen source again keeps it chosen.
    trigger("PortAuswahl2");
    EXPECT_TRUE(action("PortAuswahl2")->isChecked());
}

TEST_F(SourceCommandsTest, ThePortIsHeldOnlyWhileProgrammedForInput) {
    EXPECT_FALSE(port->held) << "at start a printer may use the port";
    trigger("PortAuswahl1");
    trigger("STR2");
    EXPECT_FALSE(port->held) << "a pin command only borrows the port";
    trigger("Eingabeprogrammieren1");
    EXPECT_TRUE(port->held);
    trigger("MenuRecord_5_Sek");
    trigger("MenuRecord_Signal");
    EXPECT_TRUE(port->held) << "still programmed for input after the recording";
    trigger("Ausgabeprogrammieren1");
    EXPECT_FALSE(port->held);
    trigger("Eingabeprogrammieren1");
    window->close();
    EXPECT_FALSE(port->held) << "closing returns the port to output and lets it go";
}

TEST_F(SourceCommandsTest, APortWithoutInputDataLinesIsToldOnceWhereTheyAreRead) {
    port->inner.script().dataLinesReadable = false;
    struct Case {
        const char* source;
        const char* mode; // nullptr: the source's own
        bool warned;
    };
    const Case cases[] = {
        {"PortAuswahl1", nullptr, true},
        {"PortAuswahl3", nullptr, true},          // the adapter with the printer signals sets bit 5
        {"PortAuswahl3", "ALFFEHINIDSL1", false}, // writes nothing: no data line is switched
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.source) + (c.mode ? c.mode : ""));
        TearDown();
        SetUp();
        port->inner.script().dataLinesReadable = false;
        trigger(c.source);
        if (c.mode) trigger(c.mode);
        desktop.clear();
        trigger("Eingabeprogrammieren1");
        EXPECT_TRUE(desktop.messages().empty()) << "no box inside Eingabe progr.";
        EXPECT_EQ(panel(4), QStringLiteral(" Digi-Status: Port aktiviert"));
        EXPECT_EQ(window->Info().startsWith(QStringLiteral(
                      "Achtung: Der Druckerport $0378 kann seine Datenleitungen nicht")),
                  c.warned)
            << window->Info().toStdString();
    }
    // Once per port and run.
    trigger("Ausgabeprogrammieren1");
    trigger("PortAuswahl1");
    window->SetInfo(QString());
    trigger("Eingabeprogrammieren1");
    EXPECT_TRUE(window->Info().startsWith(QStringLiteral("Achtung:")));
    trigger("Ausgabeprogrammieren1");
    window->SetInfo(QString());
    trigger("Eingabeprogrammieren1");
    EXPECT_TRUE(window->Info().isEmpty()) << window->Info().toStdString();
}
