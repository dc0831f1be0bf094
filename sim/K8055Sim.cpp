#include "K8055Sim.h"

#include <array>
#include <string>

#define SIM_EXPORT __attribute__((visibility("default")))

namespace {

struct Board {
    bool present = false;
    bool open = false;
    bool pattern = true;
    bool unplugged = false;
    long inputs = 0;
    unsigned long reads = 0;
    long digital = 0;
    std::array<long, 2> analog{};
    std::array<long, 2> counters{};
};

// The library's whole state, as a real board library holds its devices: one
// instance per process, reached only through the exported functions.
struct Simulation {
    Simulation() { Reset(); }
    void Reset() {
        boards = {};
        boards[0].present = true;
        current = -1;
        forceOpen = false;
        forcedResult = 0;
        logging = false;
        log.clear();
    }
    std::array<Board, 4> boards{};
    int current = -1;
    bool forceOpen = false;
    long forcedResult = 0;
    bool logging = false;
    std::string log;
    std::string logCopy;
};

// A shared library's exported functions can only share state at file scope.
Simulation simulation;

Simulation& Sim() {
    return simulation;
}

Board* Current() {
    Simulation& s = Sim();
    if (s.current < 0 || !s.boards[s.current].open) return nullptr;
    return &s.boards[s.current];
}

Board* At(long card) {
    return card >= 0 && card < 4 ? &Sim().boards[card] : nullptr;
}

long Log(const char* name, std::initializer_list<long> args, long result, bool withResult) {
    Simulation& s = Sim();
    if (!s.logging) return result;
    s.log += name;
    s.log += '(';
    bool first = true;
    for (const long a : args) {
        if (!first) s.log += ',';
        s.log += std::to_string(a);
        first = false;
    }
    s.log += ')';
    if (withResult) s.log += '=' + std::to_string(result);
    s.log += '\n';
    return result;
}

long Call(const char* name, std::initializer_list<long> args = {}) {
    return Log(name, args, 0, false);
}

long Answer(const char* name, std::initializer_list<long> args, long result) {
    return Log(name, args, result, true);
}

bool ValidChannel(long channel, long count) {
    return channel >= 1 && channel <= count;
}

long Clamp255(long v) {
    return v < 0 ? 0 : v > 255 ? 255 : v;
}

} // namespace

extern "C" {

SIM_EXPORT long OpenDevice(long CardAddress) {
    Simulation& s = Sim();
    long result = -1;
    if (s.forceOpen)
        result = s.forcedResult;
    else if (Board* b = At(CardAddress); b && b->present)
        result = CardAddress;
    if (result >= 0 && result == CardAddress && At(CardAddress)) {
        s.boards[CardAddress].open = true;
        s.current = int(CardAddress);
    }
    return Answer("OpenDevice", {CardAddress}, result);
}

SIM_EXPORT long CloseDevice(void) {
    if (Board* b = Current()) b->open = false;
    Sim().current = -1;
    return Call("CloseDevice");
}

SIM_EXPORT long ReadAnalogChannel(long Channel) {
    const Board* b = Current();
    const long v = b && ValidChannel(Channel, 2) ? b->analog[Channel - 1] : 0;
    return Answer("ReadAnalogChannel", {Channel}, v);
}

SIM_EXPORT long ReadAllAnalog(long* Data1, long* Data2) {
    const Board* b = Current();
    if (Data1) *Data1 = b ? b->analog[0] : 0;
    if (Data2) *Data2 = b ? b->analog[1] : 0;
    return Call("ReadAllAnalog");
}

SIM_EXPORT long OutputAnalogChannel(long Channel, long Data) {
    if (Board* b = Current(); b && ValidChannel(Channel, 2))
        b->analog[Channel - 1] = Clamp255(Data);
    return Call("OutputAnalogChannel", {Channel, Data});
}

SIM_EXPORT long OutputAllAnalog(long Data1, long Data2) {
    if (Board* b = Current()) b->analog = {Clamp255(Data1), Clamp255(Data2)};
    return Call("OutputAllAnalog", {Data1, Data2});
}

SIM_EXPORT long ClearAnalogChannel(long Channel) {
    if (Board* b = Current(); b && ValidChannel(Channel, 2)) b->analog[Channel - 1] = 0;
    return Call("ClearAnalogChannel", {Channel});
}

SIM_EXPORT long ClearAllAnalog(void) {
    if (Board* b = Current()) b->analog = {0, 0};
    return Call("ClearAllAnalog");
}

SIM_EXPORT long SetAnalogChannel(long Channel) {
    if (Board* b = Current(); b && ValidChannel(Channel, 2)) b->analog[Channel - 1] = 255;
    return Call("SetAnalogChannel", {Channel});
}

SIM_EXPORT long SetAllAnalog(void) {
    if (Board* b = Current()) b->analog = {255, 255};
    return Call("SetAllAnalog");
}

SIM_EXPORT long WriteAllDigital(long Data) {
    if (Board* b = Current()) b->digital = Data & 0xFF;
    return Call("WriteAllDigital", {Data});
}

SIM_EXPORT long ClearDigitalChannel(long Channel) {
    if (Board* b = Current(); b && ValidChannel(Channel, 8)) b->digital &= ~(1L << (Channel - 1));
    return Call("ClearDigitalChannel", {Channel});
}

SIM_EXPORT long ClearAllDigital(void) {
    if (Board* b = Current()) b->digital = 0;
    return Call("ClearAllDigital");
}

SIM_EXPORT long SetDigitalChannel(long Channel) {
    if (Board* b = Current(); b && ValidChannel(Channel, 8)) b->digital |= 1L << (Channel - 1);
    return Call("SetDigitalChannel", {Channel});
}

SIM_EXPORT long SetAllDigital(void) {
    if (Board* b = Current()) b->digital = 0xFF;
    return Call("SetAllDigital");
}

namespace {
long Inputs(Board& b) {
    const long v = b.pattern ? long((b.reads / 8) & 0x1F) : (b.inputs & 0x1F);
    ++b.reads;
    return v;
}
} // namespace

SIM_EXPORT long ReadDigitalChannel(long Channel) {
    Board* b = Current();
    const long v = b && ValidChannel(Channel, 5) ? (Inputs(*b) >> (Channel - 1)) & 1 : 0;
    return Answer("ReadDigitalChannel", {Channel}, v);
}

SIM_EXPORT long ReadAllDigital(void) {
    Board* b = Current();
    // A board pulled out while open fails its reads, as the real library's do.
    return Answer("ReadAllDigital", {}, !b ? 0 : b->unplugged ? -1 : Inputs(*b));
}

SIM_EXPORT long ReadCounter(long CounterNr) {
    const Board* b = Current();
    const long v = b && ValidChannel(CounterNr, 2) ? b->counters[CounterNr - 1] : 0;
    return Answer("ReadCounter", {CounterNr}, v);
}

SIM_EXPORT long ResetCounter(long CounterNr) {
    if (Board* b = Current(); b && ValidChannel(CounterNr, 2)) b->counters[CounterNr - 1] = 0;
    return Call("ResetCounter", {CounterNr});
}

SIM_EXPORT long SetCounterDebounceTime(long CounterNr, long DebounceTime) {
    return Call("SetCounterDebounceTime", {CounterNr, DebounceTime});
}

SIM_EXPORT void k8055sim_Reset(void) {
    Sim().Reset();
}

SIM_EXPORT void k8055sim_SetBoardPresent(long card, long present) {
    if (Board* b = At(card)) {
        b->present = present != 0;
        b->unplugged = false;
        if (!b->present) b->open = false;
    }
}

SIM_EXPORT void k8055sim_Unplug(long card) {
    if (Board* b = At(card)) {
        b->present = false;
        b->unplugged = true;
    }
}

SIM_EXPORT void k8055sim_SetInputs(long card, long inputs) {
    if (Board* b = At(card)) {
        b->pattern = false;
        b->inputs = inputs & 0x1F;
    }
}

SIM_EXPORT void k8055sim_ForceOpenResult(long enabled, long result) {
    Sim().forceOpen = enabled != 0;
    Sim().forcedResult = result;
}

SIM_EXPORT long k8055sim_IsOpen(long card) {
    const Board* b = At(card);
    return b && b->open ? 1 : 0;
}

SIM_EXPORT long k8055sim_CurrentBoard(void) {
    return Sim().current;
}

SIM_EXPORT long k8055sim_DigitalOutputs(long card) {
    const Board* b = At(card);
    return b ? b->digital : 0;
}

SIM_EXPORT long k8055sim_AnalogOutput(long card, long channel) {
    const Board* b = At(card);
    return b && ValidChannel(channel, 2) ? b->analog[channel - 1] : 0;
}

SIM_EXPORT void k8055sim_SetLogging(long on) {
    Sim().logging = on != 0;
}

SIM_EXPORT const char* k8055sim_CallLog(void) {
    Sim().logCopy = Sim().log;
    return Sim().logCopy.c_str();
}

SIM_EXPORT void k8055sim_ClearLog(void) {
    Sim().log.clear();
}

} // extern "C"
