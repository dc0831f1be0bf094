#include "display/TTrazor.h"

#include "display/TTrazorPopup.h"
#include "display/TrazorCanvas.h"
#include "platform/GiveBackPages.h"
#include "platform/Guard.h"

#include <QMenu>
#include <QPainter>
#include <QResizeEvent>

namespace {
// Text sizes are given in points as on a 96 dpi screen; the bitmap says so.
constexpr int DotsPerMeter96Dpi = 3780;
} // namespace

QWidget* TTrazor::checkSingleInstance(QWidget* owner) {
    if (owner && !owner->findChildren<TTrazor*>(Qt::FindDirectChildrenOnly).isEmpty())
        throw ETrazorComponentExists();
    return owner;
}

TTrazor::TTrazor(QWidget* owner, Desktop& desktop)
    : QWidget(checkSingleInstance(owner)), desktop_(desktop) {
    lineOption_ = std::make_unique<TLineVariable>(*this);
    lineOption_->SetDefaults();
    lineOption_->RecalcLines(10);

    option_ = std::make_unique<TTrazorproperty>(*this);
    idle_ = false;
    drawMode_ = 2;
    option_->SetCellsSize(1024);

    setCursor(Qt::CrossCursor);
    setMouseTracking(true);
    // Clicking the diagram gives it the keys that move through the buffer.
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    resetMarkers();

    if (option_->CellsSize() < 8192) option_->SetCellsSize(8192);
    if (option_->CellsPos() > option_->CellsSize()) option_->SetCellsPos(0);

    popup_ = std::make_unique<TTrazorPopup>(*this, desktop_);
    popupMenu_ = popup_->popup();
    // Without this the line items stay disabled until Digits is first set, and
    // a complete marker could not be measured at all.
    popup_->SetDigits(option_->Digits());

    adoptSize();
    ready_ = true;
    RedrawFrame();
}

TTrazor::~TTrazor() = default;

void TTrazor::Loaded() {
    resetMarkers();
}

void TTrazor::resetMarkers() {
    SettleDrawing();
    for (auto& marker : markers_)
        marker = trazor::MarkerRecord{};
}

void TTrazor::SetMarkerColors(TColor color) {
    // No SettleDrawing: the colour's setter draws the whole picture after this.
    for (auto& marker : markers_)
        marker.MarkerColor = color;
}

void TTrazor::ResizeBuffer(int cells) {
    SettleDrawing();
    if (adoptingLongCapture_) return;
    longCapture_ = nullptr;
    buffer_.Resize(cells < 0 ? 0 : std::size_t(cells));
}

void TTrazor::ShowLongCapture(const trazor::LongCapture* capture) {
    SettleDrawing();
    if (!capture) {
        // The buffer stays empty until a recording or a file gives it cells.
        longCapture_ = nullptr;
        return;
    }
    // The buffer's memory goes back: the capture is as long as it is because
    // memory could not hold it. Unmapping 64 Mi cells and their summary takes
    // tens of milliseconds, so another thread does it, a piece at a time.
    if (buffer_.Size() > 0) {
        struct Replaced {
            std::vector<std::uint8_t> bytes;
            SamplePyramid pyramid;
            Replaced(std::vector<std::uint8_t> b, SamplePyramid p)
                : bytes(std::move(b)), pyramid(std::move(p)) {}
            Replaced(Replaced&&) = default;
            ~Replaced() { GiveBackPages(bytes.data(), bytes.size()); }
        };
        released_.Release(Replaced{buffer_.TakeBytes(), std::exchange(pyramid_, SamplePyramid{})});
    } else {
        buffer_.Load(std::vector<std::uint8_t>{});
    }
    buffer_.SetTimeBase(capture->GetTimeBase());
    pyramid_.Update(buffer_);
    ++pyramidVersion_;
    // Whole blocks of 256 cells, as every length, rounded up to reach the last cell.
    const std::uint64_t cells =
        std::min<std::uint64_t>((capture->Cells() + 255) / 256 * 256,
                                std::uint64_t(std::numeric_limits<int>::max() / 256 * 256));
    adoptingLongCapture_ = true;
    option_->SetCellsSize(int(cells));
    adoptingLongCapture_ = false;
    longCapture_ = capture;
}

int TTrazor::ShownCells() const {
    if (longCapture_)
        return int(std::min<std::uint64_t>(longCapture_->Cells(),
                                           std::uint64_t(std::numeric_limits<int>::max())));
    return buffer_.Cells();
}

int TTrazor::cellWidth() const {
    return trazor::cellWidth(lineOption_->Line_length(), option_->TimeStep());
}

void TTrazor::OptionDigitsChanged(int digits) {
    update();
    drawMode_ = 2;
    {
        const DeferredDrawing once(*this); // the scale's fill covers the clearing
        ClearArea(option_->ColorBackground());
        DrawScale(option_->CellsPos());
        DrawBaseLines();
    }
    drawMode_ = 3;
    if (popup_) popup_->SetDigits(digits);
}

void TTrazor::OptionScaleChanged() {
    const DeferredDrawing once(*this); // the scale's fill covers the clearing
    ClearArea(option_->ColorBackground());
    DrawScale(option_->CellsPos());
    DrawBaseLines();
}

void TTrazor::SetBounds(int left, int top, int width, int height) {
    setGeometry(left, top, width, height);
    if (bitmap_.size() != bitmapSize()) adoptSize();
    DrawScale(0);
    DrawBaseLines();
}

int TTrazor::pixelRatio() const {
    // Whole device pixels keep the one-cell shift a plain copy of pixel rows.
    return std::max(1, qRound(devicePixelRatioF()));
}

QSize TTrazor::bitmapSize() const {
    return size().expandedTo(QSize(1, 1)) * pixelRatio();
}

QRect TTrazor::pictureRect() const {
    const int ratio = std::max(1, qRound(bitmap_.devicePixelRatio()));
    return QRect(0, 0, bitmap_.width() / ratio, bitmap_.height() / ratio);
}

void TTrazor::adoptSize() {
    shownPos_ = -1;
    bitmap_ = QImage(bitmapSize(), QImage::Format_RGB32);
    bitmap_.setDevicePixelRatio(pixelRatio());
    bitmap_.setDotsPerMeterX(DotsPerMeter96Dpi);
    bitmap_.setDotsPerMeterY(DotsPerMeter96Dpi);
    bitmap_.fill(colors::toQColor(option_ ? option_->ColorBackground() : colors::White));
}

trazor::Canvas TTrazor::canvas() {
    SettleDrawing();
    if (bitmap_.size() != bitmapSize()) adoptSize();
    return trazor::Canvas(bitmap_, shiftClip_, &texts_);
}

void TTrazor::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    guard::Run(&desktop_, [this] {
        // SetBounds or a drawing operation may have taken the new size already.
        if (bitmap_.size() == bitmapSize()) return;
        adoptSize();
        DrawScale(0);
        DrawBaseLines();
    });
}

void TTrazor::paintEvent(QPaintEvent*) {
    guard::Run(&desktop_, [this] {
        SettleDrawing();
        // Moved to a screen of another pixel density: draw the picture anew there.
        if (ready_ && bitmap_.size() != bitmapSize()) {
            adoptSize();
            DrawScale(option_->CellsPos());
            DrawBaseLines();
            DrawSignals();
        }
        QPainter painter(this);
        painter.drawImage(0, 0, bitmap_);
        drawTriggerMark(painter);
        drawCursors(painter);
    });
}
