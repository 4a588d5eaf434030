#include "course/ui/course_page.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>
#include <cmath>

#include "course/course_file.h"
#include "course/course_session.h"
#include "engine/speed_units.h"
#include "platform/clock.h"
#include "platform/services.h"
#include "platform/ui/combo_value.h"
#include "platform/ui/value_label.h"
#include "record/record_store.h"

namespace {
QString percent(double share) { return QLocale().toString(share * 100.0, 'f', 1); }
QString tenths(int value) { return QLocale().toString(value / 10.0, 'f', 1); }
QString date(const QDateTime& at) { return QLocale().toString(at, QLocale::ShortFormat); }

QTableWidget* table(QWidget* parent, const char* objectName, const QString& accessible,
                    const QStringList& headers) {
    auto* t = new QTableWidget(parent);
    t->setObjectName(QString::fromLatin1(objectName));
    t->setAccessibleName(accessible);
    t->setColumnCount(static_cast<int>(headers.size()));
    t->setHorizontalHeaderLabels(headers);
    t->setEditTriggers(QAbstractItemView::NoEditTriggers);
    t->setSelectionBehavior(QAbstractItemView::SelectRows);
    t->setTabKeyNavigation(false);
    t->verticalHeader()->setVisible(false);
    t->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    return t;
}

void fillRow(QTableWidget* t, int row, const QStringList& cells) {
    for (int c = 0; c < cells.size(); ++c) {
        auto* item = new QTableWidgetItem(cells[c]);
        if (c > 0) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        t->setItem(row, c, item);
    }
}

QLabel* heading(const QString& text, QWidget* buddy, QWidget* parent) {
    auto* l = new QLabel(text, parent);
    l->setBuddy(buddy);
    return l;
}
}  // namespace

CoursePage::CoursePage(const QString& databasePath, std::function<QString()> learner,
                       QWidget* parent)
    : QWidget(parent), databasePath_(databasePath), learner_(std::move(learner)) {
    setObjectName(QStringLiteral("KursSeite"));
    tell = [this](const QString& text) {
        QMessageBox::information(this, QStringLiteral("Kurs"), text);
    };
    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    course_ = new QComboBox(this);
    // The course the learner follows.
    course_->setObjectName(QStringLiteral("KursWahl"));
    course_->setAccessibleName(QStringLiteral("Kurs"));
    course_->addItem(DarcCourse().name, DarcCourse().id);
    course_->addItem(KochCourse().name, KochCourse().id);
    course_->addItem(QStringLiteral("Eigener Kurs (Kurs.txt)"), kOwnCourseId);
    SpeakCurrentItem(course_);
    lesson_ = new QSpinBox(this);
    // The lesson to practise; chosen by hand with the button beside it.
    lesson_->setObjectName(QStringLiteral("KursLektion"));
    lesson_->setAccessibleName(QStringLiteral("Lektion"));
    lesson_->setRange(1, 1);
    choose_ = new QPushButton(QStringLiteral("Lektion &übernehmen"), this);
    // Puts the learner on the chosen course and lesson.
    choose_->setObjectName(QStringLiteral("KursLektionWaehlen"));
    choose_->setAccessibleName(QStringLiteral("Lektion übernehmen"));
    choose_->setAccessibleDescription(
        QStringLiteral("Setzt den Kurs und die Lektion, mit denen „Heute üben“ weitermacht."));
    top->addWidget(heading(QStringLiteral("K&urs:"), course_, this));
    top->addWidget(course_, 1);
    top->addWidget(heading(QStringLiteral("Lekti&on:"), lesson_, this));
    top->addWidget(lesson_);
    top->addWidget(choose_);
    layout->addLayout(top);

    status_ = new ValueLabel(this);
    // Where the learner stands: lesson, characters, spacing, speed and the gate.
    status_->setObjectName(QStringLiteral("KursStand"));
    // Heard as "Stand im Kurs: " and the text, not the name alone.
    status_->setMeaning(QStringLiteral("Stand im Kurs"));
    status_->setWordWrap(true);
    status_->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    // After the interaction flags, which would leave the label to the mouse alone.
    status_->setFocusPolicy(Qt::TabFocus);
    layout->addWidget(status_);

    mastery_ =
        table(this, "KursZeichenTabelle",
              QStringLiteral("Tabelle: Zeichen der Lektion und wie sicher sie sitzen"),
              {QStringLiteral("Zeichen"), QStringLiteral("Vorkommen"), QStringLiteral("Richtig"),
               QStringLiteral("Anteil richtig (%)"), QStringLiteral("Sitzt")});
    rounds_ = table(this, "KursRundenTabelle", QStringLiteral("Tabelle: geprüfte Übungsrunden"),
                    {QStringLiteral("Datum"), QStringLiteral("Lektion"), QStringLiteral("Zeichen"),
                     QStringLiteral("Anteil richtig (%)"), QStringLiteral("Zeichenabstand")});
    advances_ = table(
        this, "KursFortschrittTabelle", QStringLiteral("Tabelle: Fortschritte im Kurs"),
        {QStringLiteral("Datum"), QStringLiteral("Von Lektion"), QStringLiteral("Nach Lektion"),
         QStringLiteral("Neue Zeichen"), QStringLiteral("Anteil richtig (%)"),
         QStringLiteral("Zeichen"), QStringLiteral("Runden")});
    auto* grid = new QGridLayout;
    grid->addWidget(heading(QStringLiteral("&Zeichen der Lektion:"), mastery_, this), 0, 0);
    grid->addWidget(heading(QStringLiteral("Übungs&runden:"), rounds_, this), 0, 1);
    grid->addWidget(mastery_, 1, 0);
    grid->addWidget(rounds_, 1, 1);
    grid->addWidget(heading(QStringLiteral("&Fortschritte:"), advances_, this), 2, 0, 1, 2);
    grid->addWidget(advances_, 3, 0, 1, 2);
    layout->addLayout(grid, 1);

    connect(course_, &QComboBox::currentIndexChanged, this, &CoursePage::courseChanged);
    connect(choose_, &QPushButton::clicked, this, &CoursePage::chooseLesson);
}

void CoursePage::courseChanged() {
    const CourseChoice choice = CourseById(course_->currentData().toString());
    lesson_->setRange(1, std::max(1, choice.course.lessonCount()));
}

void CoursePage::chooseLesson() {
    RecordStore store(databasePath_);
    QString problem;
    if (!ChooseLesson(store, learner_(), course_->currentData().toString(), lesson_->value(),
                      Platform().clock->now(), problem)) {
        if (tell) tell(problem);
        return;
    }
    refresh();
}

void CoursePage::refresh() {
    RecordStore store(databasePath_);
    const QString who = learner_();
    const CourseOverview o = OverviewOf(store, who);
    for (QTableWidget* t : {mastery_, rounds_, advances_}) t->setRowCount(0);
    {
        const QSignalBlocker block(course_);
        const int index = course_->findData(o.place.course);
        if (index >= 0) course_->setCurrentIndex(index);
        lesson_->setRange(1, std::max(1, o.course.lessonCount()));
        lesson_->setValue(o.place.lesson);
    }
    if (!o.course.valid()) {
        status_->setValueText(o.problem);
    } else {
        const int cpm = static_cast<int>(std::lround(CpmAtWpm(o.course.speedWpm)));
        int sitting = 0;
        for (const Mastery& m : o.verdict.mastery) sitting += m.sits ? 1 : 0;
        status_->setValueText(
            QStringLiteral("%1: %2, Lektion %3 von %4 mit %5 (neu: %6). %7 geprüfte Runden in "
                           "dieser Lektion; %8 von %9 Zeichen sitzen. Weiter geht es bei 90 % auf "
                           "100 Zeichen und 90 % für jedes Zeichen auf 20 Vorkommen. Tempo %10 "
                           "Zeichen/min (%11), Zeichenabstand %12.")
                .arg(who, o.course.name)
                .arg(o.place.lesson)
                .arg(o.course.lessonCount())
                .arg(o.course.charactersUpTo(o.place.lesson), o.course.newestOf(o.place.lesson))
                .arg(o.roundsInLesson)
                .arg(sitting)
                .arg(o.verdict.mastery.size())
                .arg(cpm)
                .arg(SpeedUnitsText(cpm))
                .arg(tenths(o.place.spacingTenths)));
    }

    mastery_->setRowCount(static_cast<int>(o.verdict.mastery.size()));
    for (int i = 0; i < static_cast<int>(o.verdict.mastery.size()); ++i) {
        const Mastery& m = o.verdict.mastery[i];
        fillRow(mastery_, i,
                {m.character, QString::number(m.tally.attempts), QString::number(m.tally.right),
                 m.tally.attempts > 0 ? percent(m.tally.share()) : QString(),
                 m.sits ? QStringLiteral("ja") : QStringLiteral("noch nicht")});
    }
    // Newest rounds first: today's result is at the top.
    const int roundCount = static_cast<int>(o.rounds.size());
    rounds_->setRowCount(roundCount);
    for (int i = 0; i < roundCount; ++i) {
        const CourseRound& r = o.rounds[roundCount - 1 - i];
        fillRow(rounds_, i,
                {date(r.at), QString::number(r.lesson), QString::number(r.attempts),
                 percent(r.share()), tenths(r.spacingTenths)});
    }
    advances_->setRowCount(static_cast<int>(o.advances.size()));
    for (int i = 0; i < static_cast<int>(o.advances.size()); ++i) {
        const CourseAdvance& a = o.advances[i];
        fillRow(advances_, i,
                {date(a.at), QString::number(a.fromLesson), QString::number(a.toLesson),
                 a.newCharacters, percent(a.share()), QString::number(a.attempts),
                 QString::number(a.rounds)});
    }
}
