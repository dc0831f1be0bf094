#pragma once

// The simulated K8055 board library: the twenty entry points of the board
// library (all arguments and results C long, as the Linux board library has
// them) plus control functions through which tests set up the boards and read
// back what the program did.
//
// Up to four boards, card addresses 0..3. By default board 0 is present and
// the others are absent; a present board's five inputs follow a slow pattern
// until a test sets them: the inputs read (n / 8) & 0x1F, where n counts that
// board's ReadAllDigital calls, so input 1 toggles every 8 reads, input 5
// every 128.
//
// OpenDevice(card) opens a present board, makes it the current board and
// answers its address; an absent board or a card address outside 0..3
// answers -1. The other calls act on the current board; CloseDevice closes it.

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

// Back to the default state: board 0 present, nothing open, pattern inputs,
// no forced open result, logging off and the log empty.
void k8055sim_Reset(void);
void k8055sim_SetBoardPresent(long card, long present);
// Pulls an open board out: it stays the current board, and ReadAllDigital on
// it answers -1 until the test resets the simulation.
void k8055sim_Unplug(long card);
// Fixed inputs (bits 0..4) for a board; the pattern stops for it.
void k8055sim_SetInputs(long card, long inputs);
// While enabled, every OpenDevice answers result (e.g. -2: support files
// missing) and opens nothing unless result is the card address asked for.
void k8055sim_ForceOpenResult(long enabled, long result);
long k8055sim_IsOpen(long card);
long k8055sim_CurrentBoard(void);
long k8055sim_DigitalOutputs(long card);
long k8055sim_AnalogOutput(long card, long channel);
// The call log: one line per entry-point call, e.g. "OpenDevice(3)=-1",
// "OutputAnalogChannel(1,254)", "ReadAllDigital()=5". Kept only while logging
// is on, so a long recording does not fill memory.
void k8055sim_SetLogging(long on);
const char* k8055sim_CallLog(void);
void k8055sim_ClearLog(void);

#ifdef __cplusplus
}
#endif
