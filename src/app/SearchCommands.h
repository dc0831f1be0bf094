#pragma once

#include "search/SearchHost.h"

#include <QObject>

class TMain1;
class TOKBottomDlg1;

// "Suchen", "Weiter suchen" and the four trigger kinds of "&Synchronmodus",
// all through the one search dialog the window keeps.
class SearchCommands : public QObject, public SearchHost {
    Q_OBJECT
  public:
    SearchCommands(TMain1& main, TOKBottomDlg1*& dialog);
    void Connect();

    void Suchen3Click();
    void Weitersuchen1Click();
    // 0 "Bit´s", 1 "Nibbel", 3 "Byte", 4 "Word".
    void TriggerKindClick(int kind);

    void SetScrollBarPosition(int position) override;

  private:
    TMain1& main_;
    TOKBottomDlg1*& dialog_;
};
