#pragma once

// Sends standard error to /dev/null while it lives. ALSA and JACK report every missing card
// and server there while PortAudio looks for devices; the trainer says once in its own words
// when it has no sound instead.
class QuietStderr {
public:
    QuietStderr();
    ~QuietStderr();
    QuietStderr(const QuietStderr&) = delete;
    QuietStderr& operator=(const QuietStderr&) = delete;

private:
    int saved_ = -1;
};
