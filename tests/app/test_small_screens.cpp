// On a screen of 1024x768 every dialog of the program fits, and every menu
// item that names a help context finds its section in the help.
#include "MainWindowFixture.h"
#include "app/BusDialog.h"
#include "app/ChannelChoiceDialog.h"
#include "app/SigrokDeviceDialog.h"
#include "decodeview/DecoderSetupDialog.h"
#include "search/TOKBottomDlg1.h"
#include "sigrok/decode/Library.h"
#include "support/HelpContext.h"
#include "support/HelpViewers.h"
#include "support/TAboutBox.h"
#include "support/THelpWindow.h"
#include "support/TOKBottomDlg2.h"

#include <QTextBlock>
#include <QTextDocument>
#include <set>

namespace {

// The smallest screen the program is made for, less a panel of the desktop.
constexpr QSize SmallScreen(1024, 768 - 48);

// The size a window opens with: its own size where it set one, else what its
// layout asks for, and never below what its layout needs.
QSize OpeningSize(QWidget& w) {
    w.ensurePolished();
    const QSize asked = w.testAttribute(Qt::WA_Resized) ? w.size() : w.sizeHint();
    return asked.expandedTo(w.minimumSizeHint()).expandedTo(w.minimumSize());
}

void ExpectFits(QWidget& w, const char* what) {
    const QSize size = OpeningSize(w);
    EXPECT_LE(size.width(), SmallScreen.width()) << what;
    EXPECT_LE(size.height(), SmallScreen.height()) << what;
}

} // namespace

using SmallScreen1024 = MainWindowTest;

TEST_F(SmallScreen1024, EveryDialogFits) {
    ExpectFits(window->SearchDialog(), "Suchen");
    ExpectFits(window->AboutBox(), "Info");
    ExpectFits(window->BitTextDialog(), "Textänderung");

    THelpWindow help;
    ExpectFits(help, "Hilfe");

    auto library = sigrokdecode::Library::Shared();
    DecoderSetupDialog decoders(library->Decoders(), std::vector<std::string>(16), {});
    // The decoder with the most options makes the tallest form.
    std::string longest;
    std::size_t most = 0;
    for (const auto& d : library->Decoders())
        if (d.options.size() + d.channels.size() > most) {
            most = d.options.size() + d.channels.size();
            longest = d.id;
        }
    decoders.SelectDecoder(longest);
    ExpectFits(decoders, longest.c_str());

    BusDialog buses(nullptr, {});
    ExpectFits(buses, "Busse");

    std::vector<std::string> many;
    for (int i = 0; i < 64; ++i) many.push_back("D" + std::to_string(i));
    ChannelChoiceDialog channels(QStringLiteral("gross.vcd"), many);
    ExpectFits(channels, "Kanäle wählen");

    SigrokDeviceDialog devices(
        nullptr, [] { return std::vector<sigrok::DeviceInfo>{}; },
        [](const std::function<void()>& f) { f(); });
    ExpectFits(devices, "sigrok-Gerät");
}

// A menu item that F1 explains needs its section in the help file, the items
// added to the program as well as the first version's.
TEST_F(SmallScreen1024, EveryHelpContextOfTheMenusHasItsSection) {
    QFile file(help::HelpFilePath(QStringLiteral(SPURWERK_BINARY_DIR)));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QTextDocument doc;
    doc.setHtml(QString::fromUtf8(file.readAll()));
    std::set<QString> anchors;
    for (QTextBlock b = doc.begin(); b != doc.end(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it)
            for (const QString& name : it.fragment().charFormat().anchorNames())
                anchors.insert(name);

    int withContext = 0;
    for (QAction* a : window->findChildren<QAction*>()) {
        const int context = help::HelpContextOf(*a);
        if (context == 0) continue;
        ++withContext;
        EXPECT_TRUE(anchors.count(help::AnchorOf(context)))
            << a->objectName().toStdString() << ": no section ctx" << context;
    }
    EXPECT_GT(withContext, 0);
    // The items added to the first version's menus have contexts of their own.
    for (const char* added :
         {"Importieren1", "Exportieren1", "Alleszeigen1", "Uebersicht1", "PortAuswahlSigrok",
          "ProtokollDekodieren1", "AnnotationenExportieren1", "DekodierungAbbrechen1",
          "CursorSetzen1", "CursorEntfernen1", "Busse1"})
        EXPECT_NE(help::HelpContextOf(*action(added)), 0) << added;
}
