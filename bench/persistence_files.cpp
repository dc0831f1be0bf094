#include "persistence/IniRegistry.h"
#include "persistence/RecordingData.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <vector>

namespace {

// The application's settings: 40 short strings in one key.
TIniRegistry& fillSettings(TIniRegistry& store) {
    store.OpenKey("Spurwerk", true);
    store.WriteString("Digits", "8");
    store.WriteString("TimeScale", "10");
    store.WriteString("TimeStep", "10");
    store.WriteString("TimeUnit", QString::fromUtf8("µs"));
    for (const char* c : {"Hintergrundfarbe", "Markerfarbe", "Zeitachsenfarbe", "Fontfarbe"})
        store.WriteString(c, "16777215");
    for (int k = 1; k <= 16; ++k) {
        store.WriteString(QStringLiteral("Liniefarbe%1").arg(k), "0");
        store.WriteString(QStringLiteral("BitText%1").arg(k), QStringLiteral("D%1").arg(k - 1));
    }
    store.CloseKey();
    return store;
}

void BM_SettingsSave(benchmark::State& state) {
    TIniRegistry store;
    fillSettings(store);
    for (auto _ : state)
        benchmark::DoNotOptimize(store.SaveToBytes());
}
BENCHMARK(BM_SettingsSave);

void BM_SettingsLoad(benchmark::State& state) {
    TIniRegistry source;
    const QByteArray image = fillSettings(source).SaveToBytes();
    TIniRegistry store;
    for (auto _ : state)
        benchmark::DoNotOptimize(store.LoadFromBytes(image));
}
BENCHMARK(BM_SettingsLoad);

// The largest recording: 1,048,576 cells, 2 MiB on disk.
void BM_RecordingWriteAndRead(benchmark::State& state) {
    const QTemporaryDir dir;
    const QString path = dir.filePath("BIG.DIG");
    std::vector<std::uint8_t> bytes(2 * 0x100000);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<std::uint8_t>(i * 31);
    for (auto _ : state) {
        recording::WriteRecordingFile(path, bytes);
        benchmark::DoNotOptimize(recording::ReadRecordingFile(path));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * 2 *
                            static_cast<std::int64_t>(bytes.size()));
}
BENCHMARK(BM_RecordingWriteAndRead)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
