#pragma once

#include <cstdint>
#include <memory>

struct QrmTraffic;

// What the second station on the band sends: CQ calls, answers, reports, contest exchanges and
// greetings, with call signs, names and places from the name file when it is open and drawn
// ones otherwise, as Morse patterns of the trainer's table. The same seed gives the same
// traffic. Made on the window thread, handed to the sound output whole.
std::shared_ptr<const QrmTraffic> BuildQrmTraffic(uint32_t seed);
