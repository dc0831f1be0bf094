#pragma once

#include "display/CursorPair.h"
#include "display/ETrazorComponentExists.h"
#include "display/LongCapture.h"
#include "display/MarkerRecord.h"
#include "display/PulseReadout.h"
#include "display/SampleBuffer.h"
#include "display/SamplePyramid.h"
#include "display/TLineVariable.h"
#include "display/TextCache.h"
#include "display/TrazorOptions.h"
#include "display/ViewNavigation.h"
#include "display/ViewScale.h"
#include "platform/BackgroundRelease.h"
#include "platform/Color.h"

#include <QByteArray>
#include <QImage>
#include <QPoint>
#include <QRegion>
#include <QWidget>
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

class Desktop;
class QKeyEvent;
class QMenu;
class QPainter;
class TTrazorPopup;

namespace trazor {
class Canvas;
}

// The timing diagram: holds the sample buffer and draws it into its own bitmap
// of the widget's size. Every drawing operation paints into the bitmap at once;
// the paint event only shows it. One display component per owner.
class TTrazor : public QWidget {
    Q_OBJECT
  public:
    // Throws ETrazorComponentExists when `owner` already has a TTrazor child.
    TTrazor(QWidget* owner, Desktop& desktop);
    ~TTrazor() override;

    // --- options -------------------------------------------------------
    TTrazorproperty& Option() { return *option_; }
    const TTrazorproperty& Option() const { return *option_; }
    TLineVariable& LineOption() { return *lineOption_; }
    const TLineVariable& LineOption() const { return *lineOption_; }

    // --- sample buffer -------------------------------------------------
    std::uint8_t GetCellLow(int index) const { return buffer_.GetCellLow(index); }
    std::uint8_t GetCellHigh(int index) const { return buffer_.GetCellHigh(index); }
    void SetCellLow(int index, std::uint8_t value) {
        SettleDrawing();
        buffer_.SetCellLow(index, value);
    }
    void SetCellHigh(int index, std::uint8_t value) {
        SettleDrawing();
        buffer_.SetCellHigh(index, value);
    }
    std::size_t WriteWords(int first, const std::uint16_t* words, std::size_t count) {
        SettleDrawing();
        return buffer_.WriteWords(first, words, count);
    }
    void ClearCells() {
        SettleDrawing();
        longCapture_ = nullptr;
        buffer_.Clear();
        shownPos_ = -1;
    }
    // The whole stream as a recording file holds it: low plane, then high plane.
    const std::vector<std::uint8_t>& Stream() const { return buffer_.Bytes(); }
    // Replaces the stream with a file's bytes of any length. CellsSize stays,
    // unless the file holds more cells: then it grows to them, so that every
    // cell can be reached.
    void LoadStream(std::vector<std::uint8_t> bytes) {
        SettleDrawing();
        longCapture_ = nullptr;
        buffer_.Load(std::move(bytes));
        loaded();
    }
    void LoadStream(const QByteArray& bytes) {
        SettleDrawing();
        longCapture_ = nullptr;
        buffer_.Load(bytes);
        loaded();
    }
    const SampleBuffer& Buffer() const { return buffer_; }
    // How long one cell of the buffer really lasts (see sampling/TimeBase.h).
    const sampling::TimeBase& GetTimeBase() const { return buffer_.GetTimeBase(); }
    void SetTimeBase(const sampling::TimeBase& timeBase,
                     std::optional<long long> triggerCell = std::nullopt) {
        SettleDrawing();
        buffer_.SetTimeBase(timeBase, triggerCell);
    }
    // Used by Option.CellsSize: 2 x cells zero bytes.
    void ResizeBuffer(int cells);

    // --- a capture longer than the buffer ------------------------------
    // Shows a capture that lives in a file in place of the buffer, which
    // gives up its memory and holds no cells meanwhile; CellsSize counts the
    // capture's cells, so that scrolling and zooming reach all of it. The
    // capture must outlive its showing. nullptr, another length, a load or a
    // clearing of the buffer show the buffer again.
    void ShowLongCapture(const trazor::LongCapture* capture);
    const trazor::LongCapture* LongCaptureShown() const { return longCapture_; }
    // The cells there are to show: the buffer's, or those of a long capture.
    int ShownCells() const;
    // The min/max summary of the buffer, first brought up to date with the
    // cells written since it was last asked for.
    const SamplePyramid& Pyramid();
    // Counts the summary's changes: a picture made from it is stale when the
    // count moved on.
    std::uint64_t PyramidVersion() const { return pyramidVersion_; }

    // --- state -----------------------------------------------------------
    bool Ready() const { return ready_; }
    bool Idle() const { return idle_; }
    // 0 one-cell scroll back, 1 one-cell scroll forward, 2 full redraw, 3 done.
    std::uint8_t DrawMode() const { return drawMode_; }
    int VisibleCells() const { return visibleCells_; }
    int MouseX() const { return mouseX_; }
    int MouseY() const { return mouseY_; }
    const QImage& Bitmap() const { return bitmap_; }
    // The picture as the screen shows it: the bitmap with the trigger mark and
    // the measuring cursors drawn over it.
    QImage PictureWithMarks() const;

    // --- drawing ---------------------------------------------------------
    // Stroke from (x1,y1) to (x2,y2) without its end point.
    void DrawLine(int x1, int y1, int x2, int y2, TColor color);
    // Rotated bold text (escapement in tenths of a degree, counter-clockwise;
    // 2700 reads downward) with its reference point at (x, y).
    void DrawVerticalText(int x, int y, const QString& text, int escapement = 2700);
    void ClearArea(TColor color);
    void DrawScale(int startCell);
    void DrawBaseLines();
    void DrawSignals();
    void DrawMarkers();
    void Redraw();
    void RedrawFrame();
    // Direction 0 back, 1 forward.
    void Scroll(int direction, int count);
    void ScrollForward(int count);
    void ScrollBack(int count);
    void ChangeTimeStep(int delta);
    // Gives back the memory of the texts laid out for drawing (names, labels,
    // legend); they are laid out again when next drawn.
    void ForgetLaidOutTexts() { texts_.Clear(); }

    // --- views beyond the narrowest zoom step ---------------------------
    // How wide cells are drawn now: the zoom step's cell width, or the scale
    // of a zoomed-out view.
    trazor::ViewScale Scale() const;
    // A zoomed-out view (see ViewScale) is shown instead of the zoom step;
    // setting TimeStep returns to the steps.
    bool ZoomedOut() const { return outScale_.has_value(); }
    // Shows the diagram at a zoomed-out scale, or back at TimeStep with
    // nullopt, and draws it anew.
    void SetZoomOut(std::optional<trazor::ViewScale> scale);
    // With this on, the time axis is labelled from the buffer's time base
    // wherever the display's time options do not describe it (anything but
    // 10 µs per cell) and in zoomed-out views. Off, the axis counts cells x
    // TimeScale as the component always did.
    void SetAxisFollowsTimeBase(bool on);
    bool AxisFollowsTimeBase() const { return axisFollowsTimeBase_; }
    // Whether the axis now shows the time base's times rather than TimeScale x cell.
    bool TrueTimeAxis() const;
    // What the last drawn time axis says: its legend under the "t" and its
    // labels from left to right.
    struct AxisText {
        QString legend;
        std::vector<QString> labels;
    };
    const AxisText& ShownAxis() const { return shownAxis_; }

    // --- markers ---------------------------------------------------------
    // Marker records 1..5 (others throw std::out_of_range); record 5 is never placed.
    const trazor::MarkerRecord& Markers(int m) const {
        return markers_.at(static_cast<std::size_t>(m - 1));
    }
    int PlaceMarker(int m);
    int DrawMarkerLine(int m, int x);
    int StoreMarkerPoint(int m, int cell);
    void ResetMarker(int m);
    void ShowTimeMeasurement(int m, int bit);
    void ShowFrequency(int m, int bit);
    // Used by Option.ColorMarker.
    void SetMarkerColors(TColor color);

    // --- measuring cursors -----------------------------------------------
    // Cursor A (0) and B (1) as cells; drawn over the picture, dragged with the
    // left button, set at the pointer by the keys A and B, removed by C.
    const trazor::CursorPair& Cursors() const { return cursors_; }
    // Sets cursor `which` to a cell (clamped to the buffer) or removes it.
    void SetCursorCell(int which, std::optional<long long> cell);
    void ClearCursors();
    // Both cursors at a third and two thirds of the shown cells.
    void PlaceCursorsInView();

    // --- navigation and the pointer ------------------------------------
    // Where the view stands; lastPos is the position that shows the buffer's
    // last cell at the right edge.
    trazor::ViewGeometry View() const;
    // The pointer while it is over the diagram (the press position is MouseX/Y).
    std::optional<QPoint> PointerPos() const { return pointer_; }
    // The shown line whose row holds pixel y.
    std::optional<int> LineAt(int y) const;
    // The pulse of the line under point p, measured around the cell there.
    std::optional<trazor::PulseMeasure> MeasureAt(QPoint p);
    // The x that zoom keys keep in place: the pointer's, else the middle of the cells.
    int ZoomAnchorX() const;

    // --- popup -----------------------------------------------------------
    TTrazorPopup& Popup() { return *popup_; }
    // The menu a right-click opens; the popup's own menu unless another is set.
    QMenu* PopupMenu() const { return popupMenu_; }
    void SetPopupMenu(QMenu* menu) { popupMenu_ = menu; }

    // Moves and resizes the control; the bitmap takes the new size at once and
    // the scale and base lines are drawn again. After a plain resize() the
    // bitmap follows at the next drawing operation or resize event.
    void SetBounds(int left, int top, int width, int height);

    // Form streaming's hook: frees all markers and colours them green again.
    // (Options the form left at zero cannot occur: every setter clamps.)
    void Loaded();

    // Used by the Digits, TimeStep and TimeScale setters after storing.
    void OptionDigitsChanged(int digits);
    void OptionScaleChanged();
    // Used by the TimeStep setter: ends a zoomed-out view; true when one was shown.
    bool LeaveZoomOut() { return std::exchange(outScale_, std::nullopt).has_value(); }
    // Used by the CellsPos and TimeStep setters when the value changed.
    void OptionViewChanged() { emit viewChanged(); }

    // While one lives, the diagram's drawing passes (clearing, scale, base
    // lines, signals, markers) are noted instead of drawn; when the last one
    // ends, the passes since the last full fill are drawn once, in order. The
    // picture comes out as if every pass had been drawn at once, but applying
    // many options in a row lays out and draws the scale once instead of once
    // per option. Until it ends, Bitmap(), VisibleCells() and ShownAxis() may
    // lag behind; any other drawing, a scroll or a paint event first draws
    // what was noted.
    class DeferredDrawing {
      public:
        explicit DeferredDrawing(TTrazor& trazor);
        ~DeferredDrawing();
        DeferredDrawing(const DeferredDrawing&) = delete;
        DeferredDrawing& operator=(const DeferredDrawing&) = delete;

      private:
        TTrazor& trazor_;
    };
    // Draws the passes noted so far. Called before anything the noted passes
    // read changes without a full redraw of its own (the buffer, the markers,
    // the shown position, the line rows), so they draw what they would have
    // drawn at once.
    void SettleDrawing() {
        if (!deferred_.empty()) drawDeferred();
    }

  signals:
    // The mouse moved over the diagram (the main window shows Option().Marker()).
    void mouseMovedOverDisplay();
    // The pointer moved over the diagram or left it (PointerPos tells where).
    void pointerMoved();
    // CellsPos, TimeStep or the number of visible cells changed: what the
    // diagram shows moved. Views kept beside it (the overview) follow this.
    void viewChanged();
    // A drawing operation changed the bitmap.
    void pictureChanged();
    // A measuring cursor was set, moved or removed.
    void cursorsChanged();

    // Navigation asked for by the mouse or the keys; the owner carries them
    // out, so that the scroll bar and the zoom field keep in step.
    void scrollRequested(int cells); // negative: back
    void positionRequested(int cellsPos);
    void zoomRequested(int delta, int anchorX);
    void edgeJumpRequested(bool forward);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void loaded() {
        shownPos_ = -1;
        option_->CoverLoadedCells(buffer_.Cells());
    }
    static QWidget* checkSingleInstance(QWidget* owner);
    // The bitmap in device pixels: the widget's size times pixelRatio(), so a
    // high-density screen shows sharp lines and text at the same geometry.
    QSize bitmapSize() const;
    // Whole device pixels per pixel of the diagram's geometry.
    int pixelRatio() const;
    // The picture in the diagram's own (logical) pixels.
    QRect pictureRect() const;
    void adoptSize();
    void resetMarkers();
    int cellWidth() const;
    // A canvas on the bitmap for one drawing operation. It first gives the
    // bitmap the widget's size (a hidden widget gets its resize event only when
    // shown) and limits drawing to the part a one-cell shift could not carry.
    trazor::Canvas canvas();
    bool shiftActive() const;
    void shiftBitmap(int direction);
    void drawScaleOn(trazor::Canvas& canvas, int startCell);
    void drawNamesOn(trazor::Canvas& canvas);
    void drawTimeAxisOn(trazor::Canvas& canvas, int startCell);
    void drawColumnsOn(trazor::Canvas& canvas);
    void countVisibleCells(int cells);
    // Cursor input: true when the event was the cursors'.
    int CursorAnchorX() const;
    bool cursorKey(const QKeyEvent& event);
    bool grabCursor(int x);
    bool dragCursor(int x);
    bool releaseCursor();
    void hoverCursor(int x);
    void drawCursors(QPainter& painter) const;
    void drawTriggerMark(QPainter& painter) const;
    void drawMarkerLineOn(trazor::Canvas& canvas, int m, int x, int* cells);
    // The bitmap changed: show it and tell the views beside the diagram.
    void pictureDrawn();
    enum class Pass : std::uint8_t { Clear, Scale, BaseLines, Signals, Markers };
    struct NotedPass {
        Pass pass;
        std::uint32_t value; // the colour to clear with, the scale's first cell
    };
    // True when a DeferredDrawing lives and the pass was noted instead of drawn.
    bool deferPass(Pass pass, std::uint32_t value = 0);
    void drawDeferred();

    Desktop& desktop_;
    bool ready_ = false;
    std::unique_ptr<TLineVariable> lineOption_;
    int mouseX_ = 0;
    int mouseY_ = 0;
    bool idle_ = false;
    std::uint8_t drawMode_ = 2;
    int visibleCells_ = 0;
    std::unique_ptr<TTrazorproperty> option_;
    SampleBuffer buffer_;
    std::unique_ptr<TTrazorPopup> popup_;
    QMenu* popupMenu_ = nullptr;
    std::array<trazor::MarkerRecord, 5> markers_{};
    QImage bitmap_;
    std::optional<QRegion> shiftClip_;
    QRect shiftValid_; // the part of the bitmap a one-cell shift carried over
    // Position whose complete diagram the bitmap shows, or -1 when a partial
    // drawing or a change of the buffer has made the picture unusable for a shift.
    int shownPos_ = -1;
    int deferDepth_ = 0;
    bool drawingDeferred_ = false;
    std::vector<NotedPass> deferred_;

    std::optional<trazor::ViewScale> outScale_;
    bool axisFollowsTimeBase_ = false;
    AxisText shownAxis_;

    // Every drawing pass writes the same names, legend and labels again.
    trazor::TextCache texts_;
    SamplePyramid pyramid_;
    // The buffer and summary a long capture replaced, on their way back to
    // the system.
    BackgroundRelease released_;
    const trazor::LongCapture* longCapture_ = nullptr;
    bool adoptingLongCapture_ = false; // its length does not resize the buffer
    // Says why a marker cannot measure a long capture; true when one is shown.
    bool refusedForLongCapture(int marker, int bit);
    // A line's bit in one cell, from the buffer or the long capture shown.
    bool cellBit(int cell, int line) const {
        if (!longCapture_) return buffer_.Bit(cell, line);
        return cell >= 0 && line >= 0 && line < 16 &&
               (longCapture_->Word(std::uint64_t(cell)) >> line & 1u);
    }
    std::uint64_t pyramidVersion_ = 0;
    std::optional<QPoint> pointer_;
    // A left-button drag: where it started and the position then.
    struct Drag {
        int pressX = 0;
        int pressPos = 0;
    };
    std::optional<Drag> drag_;
    trazor::CursorPair cursors_;
    std::optional<int> cursorDrag_; // the cursor being dragged
    // Wheel turns below one notch (fine-grained wheels and touchpads) add up.
    int wheelRest_ = 0;
};
