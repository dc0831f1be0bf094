#pragma once

#include <QObject>

class TMain1;

// The timed recording, the record lengths, the sample periods and clearing.
class RecordingCommands : public QObject {
    Q_OBJECT
  public:
    explicit RecordingCommands(TMain1& main);
    void Connect();

    void ButtonRecord_SignalClick();
    void RecordSignal();
    void StoreSample(int index);
    void MenuRecord_5_SekClick();
    void MenuRecord_10_SekClick();
    void MenuRecord_SignalClearClick();
    // Sample-period items: 0 CPU769s1, 1 N1ms1, 2 N10ms1, 3 N20ms1, 4 N100ms1,
    // 5 N05s1, 6 N10sek1, 7 N50sek1, 8 N10sek2.
    void SamplePeriodClick(int item);
    void ClearSampleRateChecks();

  private:
    TMain1& main_;
};
