#pragma once

#include "sigrok/DigPlanes.h"
#include "sigrok/LogicFrames.h"
#include "sigrok/SigrokContext.h"

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>
#include <cstdint>
#include <string>
#include <vector>

// A recording file's byte stream of `cells` samples with edges on all 16
// lines: line n toggles every n+1 samples, so every line changes within 16
// samples and no two lines move in step.
inline std::vector<std::uint8_t> DigWithEdges(std::size_t cells) {
    std::vector<std::uint16_t> samples(cells);
    for (std::size_t i = 0; i < cells; ++i)
        for (unsigned line = 0; line < 16; ++line)
            if ((i / (line + 1)) % 2 == 1)
                samples[i] = static_cast<std::uint16_t>(samples[i] | (1u << line));
    return sigrok::PlanesFromSamples(samples);
}

inline sigrok::LogicFrames FramesOf(const std::vector<std::uint8_t>& dig) {
    sigrok::LogicFrames frames;
    frames.samples = sigrok::SamplesFromPlanes(dig);
    for (int line = 0; line < 16; ++line)
        frames.names.push_back(sigrok::DefaultLineName(line));
    return frames;
}

inline QByteArray FileBytes(const std::string& path) {
    QFile f(QString::fromStdString(path));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

inline void WriteBytes(const std::string& path, const QByteArray& bytes) {
    QFile f(QString::fromStdString(path));
    if (f.open(QIODevice::WriteOnly)) f.write(bytes);
}

class ExchangeTest {
  protected:
    std::string Path(const char* name) const { return dir.filePath(name).toStdString(); }
    QTemporaryDir dir;
    sigrok::Context context;
};
