// Cost of reading a learner's fist: decoding and the timing report per character, over 10 000
// generated human-like characters (±20 % deviation, drifting speed), in attempts of 50.
#include "sending/fist_decoder.h"

#include <chrono>
#include <cstdio>

#include "sending/fist_report.h"
#include "sending/human_fist.h"

int main() {
    constexpr int kAttempts = 200;
    constexpr int kCharacters = 50;
    std::mt19937 random(26);
    std::vector<testing::KeyedAttempt> corpus;
    for (int i = 0; i < kAttempts; ++i)
        corpus.push_back(testing::GenerateAttempt(random, kCharacters, 0.2));

    using Clock = std::chrono::steady_clock;
    double decodeUs = 0, reportUs = 0, pollUs = 0;
    long polls = 0;
    int characters = 0;
    volatile double sink = 0;
    for (int round = 0; round < 5; ++round) {
        for (const auto& attempt : corpus) {
            const auto t0 = Clock::now();
            FistDecoder decoder(attempt.setCpm);
            for (const KeyedElement& e : attempt.elements) decoder.feed(e);
            decoder.finish();
            const auto t1 = Clock::now();
            const FistReport report = AnalyseFist(decoder.elements(), decoder.signs(), 3.0);
            const auto t2 = Clock::now();
            // A window polling every 10 ms between the marks.
            FistDecoder polled(attempt.setCpm);
            const auto t3 = Clock::now();
            for (const KeyedElement& e : attempt.elements) {
                if (!e.mark)
                    for (int64_t at = e.atUs; at < e.atUs + e.durationMs * 1000; at += 10000) {
                        polled.poll(at);
                        ++polls;
                    }
                polled.feed(e);
            }
            const auto t4 = Clock::now();
            sink = sink + report.regularity;
            decodeUs += std::chrono::duration<double, std::micro>(t1 - t0).count();
            reportUs += std::chrono::duration<double, std::micro>(t2 - t1).count();
            pollUs += std::chrono::duration<double, std::micro>(t4 - t3).count();
            characters += static_cast<int>(decoder.signs().size());
        }
    }
    std::printf("characters read:              %d\n", characters);
    std::printf("decoding per character:       %.2f us\n", decodeUs / characters);
    std::printf("report per character:         %.2f us\n", reportUs / characters);
    std::printf("decoding with 10 ms polls:    %.2f us per character (%ld polls)\n",
                pollUs / characters, polls);
    return 0;
}
