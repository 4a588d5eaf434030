#include "exercises/darc_lessons.h"

const std::array<const char*, 11> kCourseLessons = {"elv0", "asq",  "toc2=", "d5r/?", "igx9", "f4",
                                                    "nju7", "h,kb", "3pmy",  "zw61",  "8."};
