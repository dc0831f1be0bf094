#pragma once

// The twenty entry points of the K8055 board library, with the C long
// arguments and results the program binds by name. Channels and counters
// count from 1. OpenDevice answers the card address (0..3) or -1; every other
// call answers 0 or the value read, and -1 when it failed (no open board, a
// bad argument, a board that did not answer or was unplugged).

#ifdef __cplusplus
extern "C" {
#endif

long OpenDevice(long CardAddress);
long CloseDevice(void);
long ReadAnalogChannel(long Channel);
long ReadAllAnalog(long* Data1, long* Data2);
long OutputAnalogChannel(long Channel, long Data);
long OutputAllAnalog(long Data1, long Data2);
long ClearAnalogChannel(long Channel);
long ClearAllAnalog(void);
long SetAnalogChannel(long Channel);
long SetAllAnalog(void);
long WriteAllDigital(long Data);
long ClearDigitalChannel(long Channel);
long ClearAllDigital(void);
long SetDigitalChannel(long Channel);
long SetAllDigital(void);
long ReadDigitalChannel(long Channel);
long ReadAllDigital(void);
long ReadCounter(long CounterNr);
long ResetCounter(long CounterNr);
long SetCounterDebounceTime(long CounterNr, long DebounceTime);

#ifdef __cplusplus
}
#endif
