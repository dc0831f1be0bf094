#pragma once

#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>

class TMain1;
class UpDownPair;

// The view commands: line count, zoom, unit, scrolling, colours, line
// names, redraw, clear and the window's resize rule.
class ViewCommands : public QObject {
    Q_OBJECT
  public:
    // The scroll bar's event kinds, as the handler distinguishes them.
    enum class ScrollCode {
        LineBack,
        LineForward,
        PageBack,
        PageForward,
        Track,
        Position,
        Top,
        Bottom,
        EndScroll
    };

    // Asks the user for a line's new name; nullopt when cancelled.
    using LineNameEditor = std::function<std::optional<QString>(int index, const QString& current)>;

    explicit ViewCommands(TMain1& main);
    void Connect();
    void SetLineNameEditor(LineNameEditor editor) { lineNameEditor_ = std::move(editor); }

    void BitClick(int count);
    void ChangeResolution(int delta);
    void EinheitMikroSek1Click();
    void EinheitMilliSek1Click();
    void EinheitSek1Click();
    void ButtonScaleTimeUpClick();
    void ButtonScaleTimeDownClick();
    void ScaleTimeComboBox1Click();
    void ButtonZeitachsenEinheitClick(int cells, bool forward);
    // pos is the proposed new position; the handler may change it.
    void ScrollBar1Scroll(ScrollCode code, int& pos);
    void Hintergrundfarbe1Click();
    void Zeitachsenfarbe1Click();
    void Textfarbe1Click();
    void AlleLinienmiteinerFarbe1Click();
    void Gitterfarbe1Click();
    void SetMultiFarbe(int line);
    void SetMultiBitText(int line);
    void DatenneuAnzeigen1Click();
    // Scrolls the diagram so that `cell` shows a quarter of the way in.
    void ShowCell(std::int64_t cell);
    void Anzeigelschen1Click();
    void FormResize();

    // The zoom field shows the zoom step, or which zoomed-out view is shown.
    void ShowZoomField();

  private:
    void fullRefresh();
    void onScrollAction(int action);
    int cellsPerPosition() const;
    QString scrollHintText() const;

    TMain1& main_;
    LineNameEditor lineNameEditor_;
};
