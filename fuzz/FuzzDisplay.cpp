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

TTrazor& Display::Fresh(int cells, std::optional<std::vector<std::uint8_t>> stream, int position) {
    // The buffer, the position and the markers first: a change of them draws
    // what a DeferredDrawing noted so far, the options below only note.
    auto& opt = trazor_->Option();
    if (opt.CellsSize() != cells) opt.SetCellsSize(cells);
    // A stream replaces the buffer whole: zeroing it first would be wasted.
    if (stream)
        trazor_->LoadStream(std::move(*stream));
    else
        trazor_->ResizeBuffer(cells);
    if (opt.CellsPos() != position) opt.SetCellsPos(position);
    trazor_->Loaded();
    // The start-up options applied again: each setter returns at once where
    // its value is unchanged, so this costs less than finding out whether an
    // input changed any of them.
    ApplySettings(startup_, *trazor_);
    return *trazor_;
}

void Display::Finish() {
    trazor_->ForgetLaidOutTexts();
}

} // namespace fuzzdisplay
