#pragma once

#include <cmath>
#include <cstdint>
#include <random>

// Random numbers that are the same on every machine for the same seed (the
// standard distributions may differ between library versions; the engine does not).
class SeededRandom {
public:
    explicit SeededRandom(std::uint64_t seed) : engine_(seed) {}

    // Uniform in [0, 1).
    double unit() { return static_cast<double>(engine_() >> 11) * 0x1.0p-53; }
    // Uniform whole number in [0, count).
    int below(int count) { return static_cast<int>(unit() * count); }
    // Uniform in [low, high).
    double between(double low, double high) { return low + unit() * (high - low); }
    bool chance(double probability) { return unit() < probability; }

private:
    std::mt19937_64 engine_;
};

inline double roundedTo(double value, int decimals)
{
    const double scale = std::pow(10.0, decimals);
    return std::round(value * scale) / scale;
}
