#include "ScriptedDesktop.h"

#include <QCoreApplication>

namespace {
template <class T> T popFront(std::deque<T>& queue, T fallback) {
    if (queue.empty()) return fallback;
    T value = std::move(queue.front());
    queue.pop_front();
    return value;
}

int firstButton(int buttons) {
    for (int b = 1; b <= Desktop::Ignore; b <<= 1)
        if (buttons & b) return b;
    return Desktop::Ok;
}
} // namespace

int ScriptedDesktop::MessageBox(const MessageBoxRequest& request) {
    Call c{Call::Kind::MessageBox, request, {}, 0, 0};
    calls.push_back(c);
    if (onMessage) onMessage(request);
    return popFront(messageAnswers, firstButton(request.buttons));
}

std::optional<QString> ScriptedDesktop::OpenFileDialog(const FileDialogRequest& request) {
    calls.push_back({Call::Kind::OpenFile, {}, request, 0, 0});
    const QString answer = popFront(fileAnswers, QString());
    if (answer.isNull()) return std::nullopt;
    return answer;
}

std::optional<QString> ScriptedDesktop::SaveFileDialog(const FileDialogRequest& request) {
    calls.push_back({Call::Kind::SaveFile, {}, request, 0, 0});
    const QString answer = popFront(fileAnswers, QString());
    if (answer.isNull()) return std::nullopt;
    return answer;
}

std::optional<TColor> ScriptedDesktop::ColorDialog(TColor initial) {
    calls.push_back({Call::Kind::Color, {}, {}, initial, 0});
    return popFront(colorAnswers, std::optional<TColor>());
}

bool ScriptedDesktop::PrinterSetupDialog(QPrinter& printer) {
    calls.push_back({Call::Kind::PrinterSetup, {}, {}, 0, 0});
    if (onPrinterDialog) onPrinterDialog(printer);
    return popFront(printAnswers, false);
}

bool ScriptedDesktop::PrintDialog(QPrinter& printer) {
    calls.push_back({Call::Kind::Print, {}, {}, 0, 0});
    if (onPrinterDialog) onPrinterDialog(printer);
    return popFront(printAnswers, false);
}

void ScriptedDesktop::Beep() {
    calls.push_back({Call::Kind::Beep, {}, {}, 0, 0});
}

void ScriptedDesktop::Sleep(int milliseconds) {
    calls.push_back({Call::Kind::Sleep, {}, {}, 0, milliseconds});
}

void ScriptedDesktop::PumpEvents() {
    // Pumps are counted, not stored: a recording pumps hundreds of thousands of times.
    ++pumps;
    if (processEventsOnPump) QCoreApplication::processEvents();
    if (onPump) onPump();
}

std::vector<Desktop::MessageBoxRequest> ScriptedDesktop::messages() const {
    std::vector<MessageBoxRequest> out;
    for (const auto& c : calls)
        if (c.kind == Call::Kind::MessageBox) out.push_back(c.message);
    return out;
}

int ScriptedDesktop::count(Call::Kind kind) const {
    if (kind == Call::Kind::Pump) return pumps;
    int n = 0;
    for (const auto& c : calls)
        if (c.kind == kind) ++n;
    return n;
}

int ScriptedDesktop::totalSleepMs() const {
    int total = 0;
    for (const auto& c : calls)
        if (c.kind == Call::Kind::Sleep) total += c.milliseconds;
    return total;
}
