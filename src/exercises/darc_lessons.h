#pragma once

#include <array>

// The eleven lessons of the DARC Morse course, in course order: the characters each adds.
extern const std::array<const char*, 11> kCourseLessons;
