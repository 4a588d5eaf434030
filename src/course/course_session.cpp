#include "course/course_session.h"

#include <QLocale>
#include <QStringList>
#include <cmath>

#include "course/course_file.h"
#include "engine/send_character.h"
#include "engine/spoken_characters.h"
#include "platform/form1.h"
#include "record/record_store.h"
#include "state/shared_state.h"

namespace {
QString percent(double share) { return QLocale().toString(share * 100.0, 'f', 1); }

QString spaced(const QString& characters) {
    QStringList each;
    for (const QChar c : characters) each << QString(c);
    return each.join(QStringLiteral(", "));
}
}  // namespace

CourseChoice CourseById(const QString& id) {
    if (id == KochCourse().id) return {KochCourse(), {}};
    if (id == kOwnCourseId) {
        const CourseFile file = ReadOwnCourse();
        return {file.course, file.problem};
    }
    return {DarcCourse(), {}};
}

CoursePlace PlaceOf(CourseRecord& record, const QString& learner) {
    if (const auto place = record.place(learner)) return *place;
    return CoursePlace{DarcCourse().id, 1, kStartSpacingTenths};
}

TodaySetup PrepareToday(RecordStore& store, const QString& learner, const QDateTime& now) {
    TodaySetup setup;
    if (!store.isOpen()) {
        setup.problem = QStringLiteral("Der Lernstand lässt sich nicht öffnen: ") + store.error();
        return setup;
    }
    CourseRecord record(store);
    const CoursePlace place = PlaceOf(record, learner);
    const CourseChoice choice = CourseById(place.course);
    if (!choice.course.valid()) {
        setup.problem = choice.problem;
        return setup;
    }
    setup.course = choice.course;
    const int lesson = std::clamp(place.lesson, 1, choice.course.lessonCount());
    const int roundsDone = static_cast<int>(record.rounds(learner, place.course, lesson, 0).size());
    setup.plan = PlanToday(choice.course, place, roundsDone);

    SharedState& s = S();
    Form1& f = form1();
    s.ExerciseText = setup.plan.pool;
    s.ExerciseKind = kCourseKind;
    f.Panel2.setCaption(QStringLiteral("Kurs: Lektion %1").arg(setup.plan.lesson));
    f.UpDownGesch.setValue(setup.plan.speedCpm);
    f.UpDownAbst.setValue(setup.plan.charSpacingTenths);
    // A round is longer than the arrows of "Gruppen" reach; the run reads the count shown.
    s.GroupCount = static_cast<float>(setup.plan.groups);
    f.L_Anz.setCaption(QString::number(setup.plan.groups));

    setup.run.learner = learner;
    setup.run.course = place.course;
    setup.run.lesson = setup.plan.lesson;
    setup.run.runKey = std::max<qint64>(1, now.toMSecsSinceEpoch());
    setup.run.spacingTenths = setup.plan.charSpacingTenths;
    setup.run.speedCpm = setup.plan.speedCpm;
    setup.ready = true;
    return setup;
}

CheckOutcome CountCheck(RecordStore& store, const CourseRun& run,
                        const std::vector<AlignedPair>& pairs, const QDateTime& now) {
    CheckOutcome outcome;
    if (!run.active() || !store.isOpen() || run.sentText.isEmpty() || S().SentText != run.sentText)
        return outcome;
    CourseRecord record(store);
    CourseRound round = RoundOfCheck(pairs);
    if (round.attempts == 0) return outcome;
    round.runKey = run.runKey;
    round.at = now;
    round.course = run.course;
    round.lesson = run.lesson;
    round.spacingTenths = run.spacingTenths;
    round.speedCpm = run.speedCpm;
    if (!record.saveRound(run.learner, round)) {
        outcome.message =
            QStringLiteral("Die Runde ließ sich nicht im Lernstand speichern: ") + record.error();
        return outcome;
    }
    outcome.counted = true;

    // The learner may have changed lesson by hand meanwhile: then the round counts for its
    // lesson, but nobody is moved.
    const CoursePlace place = PlaceOf(record, run.learner);
    if (place.course != run.course || place.lesson != run.lesson) return outcome;
    const CourseChoice choice = CourseById(run.course);
    if (!choice.course.valid()) return outcome;
    const Course& course = choice.course;
    const std::vector<CourseRound> recent =
        record.rounds(run.learner, run.course, run.lesson, kGateRounds);
    outcome.verdict = JudgeLesson(course.charactersUpTo(run.lesson), recent);
    const CharacterTally& whole = outcome.verdict.whole;

    if (outcome.verdict.passed) {
        const int rightPercent = static_cast<int>(std::floor(whole.share() * 100.0 + 1e-9));
        CoursePlace next = place;
        next.spacingTenths = SpacingAfterPass(place.spacingTenths, rightPercent);
        outcome.finished = run.lesson >= course.lessonCount();
        if (!outcome.finished) next.lesson = run.lesson + 1;
        CourseAdvance advance{now,
                              run.course,
                              run.lesson,
                              next.lesson,
                              course.newestOf(next.lesson),
                              whole.attempts,
                              whole.right,
                              outcome.verdict.rounds,
                              next.spacingTenths};
        if (outcome.finished) advance.newCharacters.clear();
        if (!record.advance(run.learner, advance, next)) {
            outcome.message =
                QStringLiteral("Der Fortschritt ließ sich nicht speichern: ") + record.error();
            return outcome;
        }
        outcome.advanced = !outcome.finished;
        const QString figures =
            QStringLiteral("%1 % richtig auf %2 Zeichen, jedes Zeichen mindestens 90 %")
                .arg(percent(whole.share()))
                .arg(whole.attempts);
        const QString spacing =
            next.spacingTenths < place.spacingTenths
                ? QStringLiteral(" Der Zeichenabstand wird enger: %1.")
                      .arg(QLocale().toString(next.spacingTenths / 10.0, 'f', 1))
                : QString();
        if (outcome.finished) {
            outcome.message = QStringLiteral("Geschafft! Die letzte Lektion des Kurses sitzt (%1).")
                                  .arg(figures) +
                              spacing;
        } else {
            outcome.newCharacters = advance.newCharacters;
            outcome.message =
                QStringLiteral(
                    "Lektion %1 sitzt (%2). Weiter mit Lektion %3, neu: %4. Sie hören "
                    "%5 jetzt einmal.")
                    .arg(run.lesson)
                    .arg(figures)
                    .arg(next.lesson)
                    .arg(spaced(outcome.newCharacters))
                    .arg(outcome.newCharacters.size() > 1 ? QStringLiteral("die neuen Zeichen")
                                                          : QStringLiteral("das neue Zeichen")) +
                spacing;
        }
        return outcome;
    }
    if (run.lesson > 1 && Struggling(recent)) {
        outcome.suggestBack = true;
        outcome.message =
            QStringLiteral(
                "Die letzten %1 Runden von Lektion %2 lagen unter 70 %. Vielleicht hilft "
                "es, Lektion %3 noch einmal zu üben: Sie können sie unter "
                "„Lernstand“, Seite „Kurs“, wählen. Der Trainer bleibt bei Lektion %2.")
                .arg(kStrugglingRounds)
                .arg(run.lesson)
                .arg(run.lesson - 1);
    }
    return outcome;
}

void PlayNewCharacters(const QString& characters) {
    SharedState& s = S();
    const QString sentText = s.SentText;
    const int32_t sentCount = s.SentCount;
    for (const QChar c : characters) {
        s.CurrentChar = QString(c);
        SendCharacter();
        // SendCharacter spells the character itself when spelling is on.
        if (!form1().Mund.ticked()) SpeakCharacter();
    }
    s.SentText = sentText;
    s.SentCount = sentCount;
}

bool ChooseLesson(RecordStore& store, const QString& learner, const QString& courseId, int lesson,
                  const QDateTime& now, QString& problem) {
    if (!store.isOpen()) {
        problem = QStringLiteral("Der Lernstand lässt sich nicht öffnen: ") + store.error();
        return false;
    }
    const CourseChoice choice = CourseById(courseId);
    if (!choice.course.valid()) {
        problem = choice.problem;
        return false;
    }
    CourseRecord record(store);
    CoursePlace place = PlaceOf(record, learner);
    place.course = choice.course.id;
    place.lesson = std::clamp(lesson, 1, choice.course.lessonCount());
    if (!record.setPlace(learner, place, now)) {
        problem = QStringLiteral("Die Lektion ließ sich nicht speichern: ") + record.error();
        return false;
    }
    return true;
}

CourseOverview OverviewOf(RecordStore& store, const QString& learner) {
    CourseOverview overview;
    if (!store.isOpen()) {
        overview.problem =
            QStringLiteral("Der Lernstand lässt sich nicht öffnen: ") + store.error();
        return overview;
    }
    CourseRecord record(store);
    overview.place = PlaceOf(record, learner);
    const CourseChoice choice = CourseById(overview.place.course);
    overview.course = choice.course;
    overview.problem = choice.problem;
    if (!overview.course.valid()) return overview;
    overview.place.lesson = std::clamp(overview.place.lesson, 1, overview.course.lessonCount());
    const std::vector<CourseRound> lessonRounds =
        record.rounds(learner, overview.place.course, overview.place.lesson, 0);
    overview.roundsInLesson = static_cast<int>(lessonRounds.size());
    overview.verdict =
        JudgeLesson(overview.course.charactersUpTo(overview.place.lesson), lessonRounds);
    overview.rounds = record.rounds(learner, overview.place.course, 0, 0);
    overview.advances = record.advances(learner, overview.place.course);
    return overview;
}
