#pragma once

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

// Builds sample streams the way real buses drive their lines, for decoding
// tests and benchmarks. Samples are 16-bit words, bit n = line n; Planes()
// gives them in the program's two-plane buffer layout.
class SignalSynth {
  public:
    explicit SignalSynth(std::uint16_t idle = 0xFFFF) : state_(idle) {}

    void Set(int line, bool high) {
        state_ = high ? std::uint16_t(state_ | (1u << line)) : std::uint16_t(state_ & ~(1u << line));
    }
    void Hold(std::size_t cells) { samples_.insert(samples_.end(), cells, state_); }
    std::size_t Cells() const { return samples_.size(); }

    // 8N1, least significant bit first, idle high; bit edges at exact
    // multiples of rate/baud, rounded to cells.
    void Uart(int line, const std::string& text, double sampleRate, double baud) {
        const double perBit = sampleRate / baud;
        for (unsigned char c : text) {
            std::vector<bool> bits{false};
            for (int i = 0; i < 8; ++i) bits.push_back((c >> i) & 1);
            bits.push_back(true);
            const std::size_t base = samples_.size();
            for (std::size_t b = 0; b < bits.size(); ++b) {
                Set(line, bits[b]);
                Hold(std::size_t(std::llround((b + 1) * perBit)) - (samples_.size() - base));
            }
        }
    }

    // I2C with `half` cells per clock phase.
    struct I2cLines { int scl, sda; std::size_t half; };
    void I2cStart(const I2cLines& l) {
        Set(l.scl, true), Set(l.sda, true), Hold(l.half);
        Set(l.sda, false), Hold(l.half);
        Set(l.scl, false), Hold(l.half);
    }
    void I2cStop(const I2cLines& l) {
        Set(l.sda, false), Hold(l.half);
        Set(l.scl, true), Hold(l.half);
        Set(l.sda, true), Hold(l.half);
    }
    void I2cBit(const I2cLines& l, bool bit) {
        Set(l.sda, bit), Hold(l.half);
        Set(l.scl, true), Hold(l.half);
        Set(l.scl, false);
    }
    // A byte, most significant bit first, then the receiver's ACK (SDA low) or NAK.
    void I2cByte(const I2cLines& l, std::uint8_t value, bool ack) {
        for (int i = 7; i >= 0; --i) I2cBit(l, (value >> i) & 1);
        I2cBit(l, !ack);
    }

    // SPI in mode 0..3 (CPOL = bit 1, CPHA = bit 0), most significant bit
    // first, chip select low during the transfer.
    struct SpiLines { int clk, mosi, miso, cs; int mode; std::size_t half; };
    void SpiTransfer(const SpiLines& l, const std::vector<std::pair<std::uint8_t, std::uint8_t>>& bytes) {
        const bool cpol = l.mode & 2, cpha = l.mode & 1;
        Set(l.clk, cpol), Set(l.cs, true), Hold(l.half);
        Set(l.cs, false), Hold(l.half);
        for (const auto& [mosi, miso] : bytes) {
            for (int i = 7; i >= 0; --i) {
                if (cpha) Set(l.clk, !cpol);
                Set(l.mosi, (mosi >> i) & 1), Set(l.miso, (miso >> i) & 1), Hold(l.half);
                Set(l.clk, cpha ? cpol : !cpol), Hold(l.half);
                if (!cpha) Set(l.clk, cpol);
            }
            Set(l.clk, cpol), Hold(l.half);
        }
        Set(l.cs, true), Hold(l.half);
    }

    std::vector<std::uint8_t> Planes() const {
        std::vector<std::uint8_t> planes(2 * samples_.size());
        for (std::size_t i = 0; i < samples_.size(); ++i) {
            planes[i] = std::uint8_t(samples_[i]);
            planes[samples_.size() + i] = std::uint8_t(samples_[i] >> 8);
        }
        return planes;
    }

  private:
    std::uint16_t state_;
    std::vector<std::uint16_t> samples_;
};
