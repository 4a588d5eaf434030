#pragma once

#include <QString>
#include <complex>
#include <cstdint>
#include <vector>

// Measurements on rendered samples, independent of how the trainer produced them.
namespace audio {

// A stretch of sound between runs of exact silence.
struct Mark {
    int64_t first = 0;  // first non-zero sample
    int64_t last = 0;   // last non-zero sample
    double centre = 0;  // energy-weighted centre (sample index)
    double energy = 0;  // sum of squared samples
};

// Splits the samples into marks separated by at least `minSilence` zero samples.
std::vector<Mark> FindMarks(const std::vector<int16_t>& samples, int64_t minSilence);

// Frequency of a tone from its zero crossings between `first` and `last`.
double ZeroCrossingHz(const std::vector<int16_t>& samples, int64_t first, int64_t last, int rate);

// Largest step between neighbouring samples in [first, last).
int MaxStep(const std::vector<int16_t>& samples, int64_t first, int64_t last);

// A plain Morse decoder: envelope, threshold at half the peak, marks classified as dot or dash
// by the shortest mark, gaps as element, character or word gaps by their lengths.
QString DecodeMorse(const std::vector<int16_t>& samples, int rate);

// In-place radix-2 FFT; the size is a power of two.
void Fft(std::vector<std::complex<double>>& a);

}  // namespace audio
