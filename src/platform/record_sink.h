#pragma once

#include <QDateTime>
#include <QString>
#include <vector>

// The settings a record entry was made with.
struct RecordSettings {
    double speedCpm = 0;
    double charSpacing = 1;  // factor
    double wordSpacing = 1;  // factor
    double pitchHz = 0;
    QString effects;  // ticked training effects, comma-separated ("5%,unsauber"); empty for none
};

// One answer of the question-and-answer drill.
struct DrillAnswer {
    QDateTime at;
    QString asked;
    QString typed;  // " " when the user gave up
    bool right = false;
    int reactionMs = 0;  // from the end of the character's last element to the key press
    RecordSettings settings;
};

// One completed or stopped run.
struct RunSummary {
    QDateTime at;
    QString kind;  // ExerciseKind
    int groups = 0;
    int charactersSent = 0;
    double elapsedSeconds = 0;
    double measuredCpm = 0;
    bool completed = false;
    RecordSettings settings;
};

// One aligned pair of a checked copy: the sent character and what was copied in its place.
// An empty `sent` is an extra character of the copy, an empty `copied` a missed one.
struct CopyPair {
    QString sent;
    QString copied;
};

struct CheckedCopy {
    QDateTime at;
    // When the run whose text was checked began; a later check of the same run replaces this
    // one. Invalid when the run is unknown: then every check stands on its own.
    QDateTime runStart;
    std::vector<CopyPair> pairs;
    RecordSettings settings;
};

// One call of a call-sign contest attempt.
struct ContestCallEntry {
    QString sent;
    QString typed;
    std::vector<CopyPair> pairs;  // aligned as the copy check aligns
    int wrong = 0;                // wrong, missed and extra characters
    int speedBpm = 0;             // letters per minute it was sent at
    int points = 0;
    bool repeated = false;
    int reactionMs = 0;  // from the end of the call's last element to the first key
    int typingMs = 0;    // from the first key to Enter
};

// One attempt of the call-sign contest.
struct ContestAttemptEntry {
    QDateTime at;
    int score = 0;
    int startBpm = 0;
    int finalBpm = 0;
    int highestBpm = 0;      // fastest call copied right; 0 without one
    bool completed = false;  // every call answered
    bool forBestList = true;  // no option made it easier
    QString source;           // where the calls came from
    QString options;          // the options chosen, comma-separated; empty for none
    double pitchHz = 0;
    std::vector<ContestCallEntry> calls;
};

// How one character of a sending attempt departed from its ideal timing.
struct SendingCharacterTiming {
    QString character;
    double departurePercent = 0;  // mean absolute departure of its marks and gaps [% of ideal]
};

// One attempt of sending practice: what was to be keyed, what was read, the timing report's
// figures and every mark and space as keyed, so that it can be replayed and read again.
struct SendingAttemptEntry {
    QDateTime at;
    QString exercise;  // "Frei", "Vorlage", "Nachgeben"
    QString intended;  // empty in free keying
    QString decoded;
    std::vector<CopyPair> pairs;  // intended against read, aligned as the copy check aligns
    bool right = false;
    double cpm = 0;
    double wpm = 0;
    double dashRatio = 0;  // the learner's dash [dots]
    // Mean lengths and spreads in % of the ideal: dots, dashes, element, character, word gaps.
    double meanPercent[5] = {};
    double spreadPercent[5] = {};
    int regularity = 0;
    QString worst;                    // the report's worst characters in words, "; " between
    std::vector<double> durationsMs;  // mark, space, mark ... from the first mark to the last
    std::vector<SendingCharacterTiming> characters;
    double pitchHz = 0;
};

// Where the learner's record goes. The calls come from the window thread in the middle of a
// run or the drill; an implementation hands the entry on and returns at once, never waiting for
// the disk.
class RecordSink {
public:
    virtual ~RecordSink() = default;
    virtual void answer(const DrillAnswer& entry) = 0;
    virtual void run(const RunSummary& entry) = 0;
    virtual void copy(const CheckedCopy& entry) = 0;
    virtual void contest(const ContestAttemptEntry& entry) = 0;
    // A sink that keeps no sending practice ignores its attempts.
    virtual void sending(const SendingAttemptEntry&) {}
};
