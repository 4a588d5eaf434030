#include "export/exercise_recording.h"

#include "exercises/current_exercise.h"
#include "platform/form1.h"
#include "platform/services.h"
#include "state/shared_state.h"

ExerciseRecording::ExerciseRecording(int sampleRate, const SpokenPlayer& spoken, uint32_t seed)
    : rate_(sampleRate),
      output_(clock_, sampleRate),
      tonwerk_(output_, clock_),
      spoken_(spoken ? spoken(output_, clock_) : nullptr),
      seed_(seed) {}

void ExerciseRecording::setBandConditions(const BandSettings& settings,
                                          std::shared_ptr<const QrmTraffic> traffic) {
    output_.setBandConditions(settings, std::move(traffic));
}

void ExerciseRecording::record() {
    const SharedState savedState = S();
    const Services savedServices = Platform();
    auto copy = std::make_unique<Form1>();
    CopyControls(form1(), *copy);
    std::unique_ptr<Form1> window = ExchangeForm1(std::move(copy));

    Services& p = Platform();
    p.clock = &clock_;
    p.tonwerk = &tonwerk_;
    p.surface = &surface_;
    p.printer = &printer_;
    p.wave = spoken_.get();
    // Nobody hears this run: it is no run of the learner's.
    p.record = nullptr;
    // The virtual clock starts at the same moment for every recording, so seeding from it would
    // give every file the same groups.
    p.random.fixSeed(seed_);
    Form1& f = form1();
    // The file is the point of the export: it sounds whatever the sound switch says, and it is
    // one run, neither repeated nor printed.
    f.Ohr.setValue(1);
    f.Dauermorsen.setValue(0);
    S().PrintAfterRun = 0;
    S().KeyboardMode = false;
    S().ReadingAloud = false;
    PrepareRun();
    SendCurrentExercise();
    text_ = S().SentText;
    clock_.advance(output_.bandTailSeconds());
    total_ = output_.presentFrame();

    // The copy's timers run on this recording's clock: they go before the clock is handed back.
    ExchangeForm1(std::move(window)).reset();
    Platform() = savedServices;
    S() = savedState;
}

std::vector<int16_t> ExerciseRecording::nextBlock(int64_t maxFrames) {
    return output_.takeSamples(std::min(maxFrames, total_ - output_.takenFrames()));
}
