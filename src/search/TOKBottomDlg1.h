#pragma once

#include "search/SearchRoutines.h"

#include <QDialog>
#include <cstdint>

class Desktop;
class QLabel;
class QProgressBar;
class QPushButton;
class SearchHost;
class THexEdit;
class TRadioGroup;
class TTrazor;
struct TriggerSettings;

namespace search {
// The caption the trigger-kind commands give the dialog: kinds 0, 1, 3, 4.
QString SyncCaption(int kind);
} // namespace search

// The search dialog. It is created once and kept, shown without blocking the
// main window. With Tag 0 it searches the sample buffer for an edge of a line
// or a nibble value and scrolls the diagram there; with Tag 1 it sets up the
// live mode's trigger instead. Its choices persist between openings, which
// "Weiter suchen" relies on.
class TOKBottomDlg1 : public QDialog {
    Q_OBJECT
  public:
    TOKBottomDlg1(QWidget* parent, TTrazor& trazor, Desktop& desktop, TriggerSettings& trigger,
                  SearchHost& host);

    // "Suchen": search mode, shown.
    void OpenForSearch();
    // "Weiter suchen": continues the last search by the choices the dialog
    // holds, without showing it.
    void ContinueSearch();
    // The trigger-kind commands: set-up mode for kind, locked to it (a nibble
    // set-up may switch between low and high nibble), shown.
    void OpenForSync(int kind, const QString& caption);

    int Tag() const { return tag_; }
    int LockedKind() const { return lockedKind_; }

    // The search routines: line and edge are the indexes of " Bitauswahl " and
    // " Flanke ", value a Hexvalue, byte the index of " Nibbel,Byte ". The
    // nibble searches take the nibble from the chosen kind.
    void search_bit(int line, int edge);
    void search_next_bit(int line, int edge);
    void search_nibbel(std::int32_t value, int byte);
    void search_next_nibbel(std::int32_t value, int byte);

  public slots:
    void OKBtnClick();
    void CancelBtnClick();
    void RadioGroup2Click();

  protected:
    void changeEvent(QEvent* event) override;

  private:
    void buildControls();
    void applyKind(int kind);
    void showAtFront();
    // Moves the diagram to cellsPos and redraws it.
    void showCell(std::int32_t cellsPos);
    std::optional<std::int32_t> findNibble(std::int32_t first, std::int32_t value, int byte,
                                           bool withProgress);

    TTrazor& trazor_;
    Desktop& desktop_;
    TriggerSettings& trigger_;
    SearchHost& host_;
    int tag_ = 0;
    int lockedKind_ = -1;
    bool changingKind_ = false;
    bool searching_ = false;

    TRadioGroup* radioGroup1_ = nullptr;
    TRadioGroup* radioGroup2_ = nullptr;
    TRadioGroup* radioGroup3_ = nullptr;
    TRadioGroup* radioGroup4_ = nullptr;
    THexEdit* hexEdit1_ = nullptr;
    QProgressBar* progressBar1_ = nullptr;
};
