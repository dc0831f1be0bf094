#include "FuzzDisplay.h"

#include "display/TTrazor.h"
#include "persistence/AppSettings.h"
#include "platform/Color.h"

#include <QApplication>

namespace fuzzdisplay {

void StartApplication() {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "spurwerk-fuzz";
    static char* argv[] = {name, nullptr};
    static QApplication application(argc, argv);
}

int SilentDesktop::MessageBox(const MessageBoxRequest& request) {
    for (int button = 1; button <= Ignore; button <<= 1)
        if (request.buttons & button) return button;
    return Ok;
}

Display::Display() : owner_(std::make_unique<QWidget>()) {
    trazor_ = new TTrazor(owner_.get(), desktop_);
    setUp(8192);
    trazor_->SetBounds(0, 40, 772, 390);
    StoreSettings(startup_, *trazor_);
    startupImage_ = startup_.SaveToBytes();
}

Display::~Display() = default;

void Display::setUp(int cells) {
    auto& opt = trazor_->Option();
    opt.SetCopyMode(0);
    opt.SetColorMarker(colors::Black);
    opt.SetColorScale(colors::Black);
    opt.SetCellsSize(cells);
    opt.SetDigits(8);
    opt.SetTimeScale(10);
    opt.SetTimeStep(10);
    opt.SetTimeUnit(QStringLiteral("µs"));
    opt.SetTimefactor(10);
    trazor_->Loaded();
    trazor_->LineOption().Apply(TLineVariable::WindowLayout, 10);
}

TTrazor& Display::Fresh(int cells, std::optional<std::vector<std::uint8_t>> stream) {
    // The buffer, the position and the markers first: a change of them draws
    // what a DeferredDrawing noted so far, the options below only note.
    auto& opt = trazor_->Option();
    if (opt.CellsSize() != cells) opt.SetCellsSize(cells);
    trazor_->ResizeBuffer(cells);
    if (stream) trazor_->LoadStream(std::move(*stream));
    if (opt.CellsPos() != 0) opt.SetCellsPos(0);
    trazor_->Loaded();
    // Only what an input changed is set back.
    if (opt.Digits() != 8) opt.SetDigits(8);
    if (opt.TimeStep() != 10) opt.SetTimeStep(10);
    TIniRegistry now;
    StoreSettings(now, *trazor_);
    if (now.SaveToBytes() != startupImage_) ApplySettings(startup_, *trazor_);
    return *trazor_;
}

} // namespace fuzzdisplay
