#pragma once

#include <string>
#include <vector>

#include "sound/band/band_random.h"

// What the second station sends: messages as Morse patterns, "." and "-" for the elements, a
// blank between characters and "/" between words. Made once, outside the audio thread.
struct QrmTraffic {
    std::vector<std::string> messages;
};

// A second station (QRM) near the wanted one: it sends messages of its traffic at its own
// speed, in random order, with irregular pauses, keyed with soft edges at its own pitch.
// Allocation-free after construction.
class QrmStation {
public:
    QrmStation(int sampleRate, uint64_t seed);
    void reseed(uint64_t seed);
    // The traffic must stay alive while it is set; nullptr or none silences the station.
    void setTraffic(const QrmTraffic* traffic);
    void tune(double hz);

    // Adds the station's signal with peak `amplitude` to `out`.
    void process(float* out, int count, double amplitude);

private:
    void nextSegment();
    void startMessage();
    void pause();

    int rate_;
    BandRandom random_;
    const QrmTraffic* traffic_ = nullptr;
    std::vector<float> ramp_;  // rising raised cosine of one key edge, ramp_.back() == 1
    double cpm_ = 100;         // the station's speed [characters per minute]
    double dotFrames_ = 0;
    const std::string* message_ = nullptr;
    size_t next_ = 0;                         // index of the next pattern symbol in the message
    int64_t left_ = 0;                        // frames left of the current segment
    bool keyed_ = false;                      // key down in the current segment
    int edge_ = 0;                            // position on the ramp
    double c_ = 1, s_ = 0, wc_ = 1, ws_ = 0;  // oscillator
};
