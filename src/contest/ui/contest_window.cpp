#include "contest/ui/contest_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QShortcut>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>
#include <cmath>

#include "contest/call_list.h"
#include "contest/contest_attempt.h"
#include "contest/contest_scoring.h"
#include "contest/contest_summary.h"
#include "platform/dialogs.h"
#include "platform/services.h"
#include "platform/ui/announcer.h"
#include "platform/ui/combo_value.h"
#include "platform/ui/value_label.h"
#include "record/record_store.h"
#include "state/shared_state.h"

namespace {
constexpr int kBestListRows = 10;
constexpr int kMaxAnswerChars = 20;

QString wpmText(int bpm) {
    const double wpm = bpm / 5.0;
    return QLocale().toString(wpm, 'f', std::fmod(wpm, 1.0) == 0.0 ? 0 : 1);
}

QPushButton* button(QWidget* parent, const char* objectName, const QString& caption,
                    const QString& accessible, const QString& description) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(objectName));
    b->setAccessibleName(accessible);
    b->setAccessibleDescription(description);
    return b;
}

QCheckBox* option(QWidget* parent, const char* objectName, const QString& caption,
                  const QString& accessible) {
    auto* c = new QCheckBox(caption, parent);
    c->setObjectName(QString::fromLatin1(objectName));
    c->setAccessibleName(accessible);
    return c;
}

ValueLabel* valueLabel(QWidget* parent, const char* objectName, const QString& meaning) {
    auto* l = new ValueLabel(parent);
    l->setObjectName(QString::fromLatin1(objectName));
    l->setMeaning(meaning);
    // Reached with Tab, so that a screen reader can read it again.
    l->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    // After the interaction flags, which would leave the label to the mouse alone.
    l->setFocusPolicy(Qt::TabFocus);
    return l;
}
}  // namespace

ContestWindow::ContestWindow(ContestRecordAccess record, QWidget* parent)
    : QDialog(parent), record_(std::move(record)) {
    setObjectName(QStringLiteral("Wettbewerb"));
    setWindowTitle(QStringLiteral("Rufzeichen-Wettbewerb"));
    // Not modal: the trainer's messages belong to the main window and must stay reachable. No
    // run of the main window can start while an attempt runs (see ContestAttempt::start).
    setModal(false);
    auto* layout = new QVBoxLayout(this);

    auto* settings = new QGroupBox(QStringLiteral("Einstellungen"), this);
    auto* form = new QFormLayout(settings);
    startSpeed_ = new QSpinBox(settings);
    // Speed of the first call.
    startSpeed_->setObjectName(QStringLiteral("Startgeschwindigkeit"));
    startSpeed_->setAccessibleName(QStringLiteral("Startgeschwindigkeit in Buchstaben pro Minute"));
    startSpeed_->setRange(kContestFloorBpm, kContestHighestBpm);
    startSpeed_->setSingleStep(kContestStepBpm);
    startSpeed_->setValue(100);
    startSpeed_->setSuffix(QStringLiteral(" BpM"));
    form->addRow(QStringLiteral("Start&geschwindigkeit:"), startSpeed_);
    pitch_ = new QSpinBox(settings);
    // Pitch of the calls.
    pitch_->setObjectName(QStringLiteral("WettbewerbTon"));
    pitch_->setAccessibleName(QStringLiteral("Tonhöhe in Hertz"));
    pitch_->setRange(200, 2000);
    pitch_->setSingleStep(10);
    pitch_->setValue(static_cast<int>(std::lround(S().TonePitch > 0 ? S().TonePitch : 800)));
    pitch_->setSuffix(QStringLiteral(" Hz"));
    form->addRow(QStringLiteral("&Tonhöhe:"), pitch_);
    source_ = new QComboBox(settings);
    // Where the calls come from: the generator or a loaded list.
    source_->setObjectName(QStringLiteral("Rufzeichenquelle"));
    source_->setAccessibleName(QStringLiteral("Rufzeichen aus"));
    source_->addItem(QStringLiteral("Rufzeichen-Generator"));
    SpeakCurrentItem(source_);
    loadList_ = button(
        settings, "ListeLaden", QStringLiteral("&Liste laden ..."), QStringLiteral("Liste laden"),
        QStringLiteral("Liest echte Rufzeichen aus einer Textdatei, eines je Zeile."));
    auto* sourceRow = new QHBoxLayout;
    sourceRow->addWidget(source_, 1);
    sourceRow->addWidget(loadList_);
    auto* sourceLabel = new QLabel(QStringLiteral("&Rufzeichen aus:"), settings);
    sourceLabel->setBuddy(source_);
    form->addRow(sourceLabel, sourceRow);
    fixedSpeed_ = option(settings, "FesteGeschwindigkeit",
                         QStringLiteral("&Feste Geschwindigkeit (nicht für die Bestenliste)"),
                         QStringLiteral("Feste Geschwindigkeit, nicht für die Bestenliste"));
    unlimitedRepeats_ =
        option(settings, "BeliebigWiederholen",
               QStringLiteral("&Beliebig oft wiederholen (nicht für die Bestenliste)"),
               QStringLiteral("Beliebig oft wiederholen, nicht für die Bestenliste"));
    varyPitch_ =
        option(settings, "TonhoeheWechseln", QStringLiteral("Tonhöhe je Rufzeichen &wechseln"),
               QStringLiteral("Tonhöhe je Rufzeichen wechseln"));
    form->addRow(fixedSpeed_);
    form->addRow(unlimitedRepeats_);
    form->addRow(varyPitch_);
    layout->addWidget(settings);

    auto* controls = new QHBoxLayout;
    start_ = button(this, "WettbewerbStart", QStringLiteral("&Start"), QStringLiteral("Start"),
                    QStringLiteral("Beginnt einen Durchgang mit 50 Rufzeichen."));
    stop_ =
        button(this, "WettbewerbAbbruch", QStringLiteral("A&bbrechen"), QStringLiteral("Abbrechen"),
               QStringLiteral("Beendet den Durchgang; die Antworten bis hier bleiben im "
                              "Lernstand."));
    repeat_ = button(this, "Wiederholen", QStringLiteral("&Wiederholen (F6)"),
                     QStringLiteral("Wiederholen"),
                     QStringLiteral("Gibt das Rufzeichen noch einmal; es zählt dann die Hälfte."));
    previous_ = button(this, "Vorheriges", QStringLiteral("&Voriges (F7)"),
                       QStringLiteral("Voriges Rufzeichen"),
                       QStringLiteral("Gibt das vorige Rufzeichen noch einmal, ohne Wertung."));
    for (QPushButton* b : {start_, stop_, repeat_, previous_}) controls->addWidget(b);
    layout->addLayout(controls);

    auto* answerLabel = new QLabel(QStringLiteral("R&ufzeichen (Eingabe, dann Enter):"), this);
    answer_ = new QLineEdit(this);
    // The call as the learner heard it.
    answer_->setObjectName(QStringLiteral("Antwort"));
    answer_->setAccessibleName(QStringLiteral("Gehörtes Rufzeichen"));
    answer_->setAccessibleDescription(
        QStringLiteral("Rufzeichen eingeben und mit Enter bestätigen; F6 wiederholt, F7 gibt "
                       "das vorige."));
    answer_->setMaxLength(kMaxAnswerChars);
    answerLabel->setBuddy(answer_);
    layout->addWidget(answerLabel);
    layout->addWidget(answer_);

    number_ = valueLabel(this, "WettbewerbNummer", QStringLiteral("Rufzeichen"));
    speed_ = valueLabel(this, "WettbewerbTempo", QStringLiteral("Tempo"));
    score_ = valueLabel(this, "WettbewerbPunkte", QStringLiteral("Punkte"));
    // Their captions say what they show.
    for (ValueLabel* l : {number_, speed_, score_}) l->setCaptionIsName(true);
    verdict_ = valueLabel(this, "WettbewerbErgebnis", QStringLiteral("Ergebnis"));
    verdict_->setWordWrap(true);
    auto* figures = new QHBoxLayout;
    for (ValueLabel* l : {number_, speed_, score_}) figures->addWidget(l);
    layout->addLayout(figures);
    layout->addWidget(verdict_);
    announcer_ = new Announcer(this);

    auto* bestLabel = new QLabel(QStringLiteral("B&estenliste:"), this);
    bestList_ = new QTableWidget(0, 4, this);
    // The learner's best attempts.
    bestList_->setObjectName(QStringLiteral("Bestenliste"));
    bestList_->setAccessibleName(QStringLiteral("Bestenliste"));
    bestList_->setHorizontalHeaderLabels({QStringLiteral("Platz"), QStringLiteral("Punkte"),
                                          QStringLiteral("Höchstes Tempo (BpM)"),
                                          QStringLiteral("Datum")});
    bestList_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    bestList_->setSelectionBehavior(QAbstractItemView::SelectRows);
    bestList_->setTabKeyNavigation(false);
    bestList_->verticalHeader()->setVisible(false);
    bestList_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    bestLabel->setBuddy(bestList_);
    layout->addWidget(bestLabel);
    layout->addWidget(bestList_, 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("Schl&ießen"));
    buttons->button(QDialogButtonBox::Close)->setObjectName(QStringLiteral("WettbewerbSchliessen"));
    save_ =
        button(this, "ZusammenfassungSpeichern", QStringLiteral("&Zusammenfassung speichern ..."),
               QStringLiteral("Zusammenfassung speichern"),
               QStringLiteral("Schreibt den letzten Durchgang als Textdatei."));
    buttons->addButton(save_, QDialogButtonBox::ActionRole);
    connect(buttons, &QDialogButtonBox::rejected, this, &ContestWindow::reject);
    layout->addWidget(buttons);

    connect(start_, &QPushButton::clicked, this, &ContestWindow::start);
    connect(stop_, &QPushButton::clicked, this, &ContestWindow::stopAttempt);
    connect(repeat_, &QPushButton::clicked, this, &ContestWindow::repeatCall);
    connect(previous_, &QPushButton::clicked, this, &ContestWindow::previousCall);
    connect(loadList_, &QPushButton::clicked, this, &ContestWindow::loadList);
    connect(save_, &QPushButton::clicked, this, &ContestWindow::saveSummary);
    connect(answer_, &QLineEdit::textEdited, this, [this] {
        if (attempt_) attempt_->keyTyped();
    });
    connect(answer_, &QLineEdit::returnPressed, this, [this] {
        if (attempt_ && attempt_->phase() == ContestAttempt::Phase::Running)
            attempt_->submit(answer_->text());
    });
    // Only while this window has the focus; the main window keeps its own F6 and F7.
    auto* f6 = new QShortcut(QKeySequence(Qt::Key_F6), this);
    connect(f6, &QShortcut::activated, this, &ContestWindow::repeatCall);
    auto* f7 = new QShortcut(QKeySequence(Qt::Key_F7), this);
    connect(f7, &QShortcut::activated, this, &ContestWindow::previousCall);

    // Enter belongs to the answer box: no button may take it as the dialog's default, or the
    // Enter of the last answer would start the next attempt.
    for (QPushButton* b : findChildren<QPushButton*>()) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }

    number_->setValueText(QStringLiteral("Rufzeichen 0 von %1").arg(kContestCalls));
    showSpeed(startSpeed_->value());
    score_->setValueText(QStringLiteral("Punkte: 0"));
    save_->setEnabled(false);
    showRunning(false);
    resize(620, 640);
}

ContestWindow::~ContestWindow() = default;

void ContestWindow::present() {
    refreshBestList();
    show();
    raise();
    activateWindow();
    start_->setFocus();
}

void ContestWindow::tell(const QString& text) {
    if (Platform().dialogs) Platform().dialogs->message(text);
}

void ContestWindow::showRunning(bool running) {
    for (QWidget* w :
         std::initializer_list<QWidget*>{startSpeed_, pitch_, source_, loadList_, fixedSpeed_,
                                         unlimitedRepeats_, varyPitch_, start_})
        w->setEnabled(!running);
    stop_->setEnabled(running);
    repeat_->setEnabled(running);
    previous_->setEnabled(running);
    answer_->setEnabled(running);
}

void ContestWindow::showVerdict(const QString& text) {
    verdict_->setValueText(text);
    // The focus stays in the answer box while the verdict changes beside it.
    announcer_->announce(text);
}

void ContestWindow::showSpeed(int bpm) {
    speed_->setValueText(QStringLiteral("Tempo %1 BpM (%2 WpM)").arg(bpm).arg(wpmText(bpm)));
}

void ContestWindow::showScore() {
    score_->setValueText(QStringLiteral("Punkte: %1").arg(attempt_ ? attempt_->score() : 0));
}

void ContestWindow::start() {
    if (attempt_ && attempt_->busy()) return;
    if (!TrainerQuietForContest()) {
        tell(QStringLiteral("Bitte erst den laufenden Durchgang im Hauptfenster beenden."));
        return;
    }
    ContestOptions options;
    options.startBpm = startSpeed_->value();
    options.fixedSpeed = fixedSpeed_->isChecked();
    options.unlimitedRepeats = unlimitedRepeats_->isChecked();
    options.varyPitch = varyPitch_->isChecked();
    options.pitchHz = pitch_->value();
    const bool fromList = source_->currentIndex() > 0 && !list_.isEmpty();
    options.calls = DrawContestCalls(fromList ? list_ : QStringList());
    options.source = fromList ? listName_ : QStringLiteral("Rufzeichen-Generator");
    attempt_ = std::make_unique<ContestAttempt>(options);
    ContestAttempt* a = attempt_.get();
    a->onCallStarted = [this, a] {
        answer_->clear();
        number_->setValueText(
            QStringLiteral("Rufzeichen %1 von %2").arg(a->callNumber()).arg(a->callCount()));
        showSpeed(a->speedBpm());
    };
    a->onScored = [this](const ContestCallOutcome& outcome) {
        showVerdict(DescribeContestCall(outcome.entry, outcome.nextBpm));
        showScore();
        showSpeed(outcome.nextBpm);
    };
    a->onEnded = [this, a] {
        showRunning(false);
        save_->setEnabled(!a->outcomes().empty());
        QString end = a->phase() == ContestAttempt::Phase::Finished
                          ? QStringLiteral("Durchgang beendet: %1 Punkte, höchstes Tempo %2 BpM.")
                                .arg(a->score())
                                .arg(a->highestBpm())
                          : QStringLiteral("Durchgang abgebrochen nach %1 Rufzeichen: %2 Punkte.")
                                .arg(a->outcomes().size())
                                .arg(a->score());
        if (!a->forBestList()) end += QStringLiteral(" Nicht für die Bestenliste.");
        showVerdict(end);
        refreshBestList();
        start_->setFocus();
    };
    showVerdict(a->forBestList() ? QStringLiteral("Durchgang läuft.")
                                 : QStringLiteral("Durchgang läuft, nicht für die Bestenliste."));
    score_->setValueText(QStringLiteral("Punkte: 0"));
    save_->setEnabled(false);
    showRunning(true);
    answer_->setFocus();
    a->start();
}

void ContestWindow::stopAttempt() {
    if (attempt_) attempt_->stop();
}

void ContestWindow::repeatCall() {
    if (!attempt_ || attempt_->phase() != ContestAttempt::Phase::Running) return;
    if (!attempt_->repeat()) showVerdict(QStringLiteral("Nur eine Wiederholung je Rufzeichen."));
}

void ContestWindow::previousCall() {
    if (!attempt_ || attempt_->phase() != ContestAttempt::Phase::Running) return;
    if (!attempt_->playPrevious())
        showVerdict(QStringLiteral("Es gibt noch kein voriges Rufzeichen."));
}

void ContestWindow::loadList() {
    if (!Platform().dialogs) return;
    const QString path =
        Platform().dialogs->openFileName(QStringLiteral("Rufzeichenliste laden"),
                                         QStringLiteral("Textdateien (*.txt);;Alle Dateien (*)"));
    if (path.isEmpty()) return;
    const CallList list = ReadCallList(path);
    if (!list.usable()) {
        tell(list.report.isEmpty() ? list.error : list.error + u' ' + list.report);
        return;
    }
    list_ = list.calls;
    listName_ = QFileInfo(path).fileName();
    const QString entry =
        QStringLiteral("Liste %1 (%2 Rufzeichen)").arg(listName_).arg(list_.size());
    if (source_->count() > 1) source_->removeItem(1);
    source_->addItem(entry);
    source_->setCurrentIndex(1);
    if (!list.report.isEmpty()) tell(list.report);
}

void ContestWindow::saveSummary() {
    if (!attempt_ || attempt_->outcomes().empty() || !Platform().dialogs) return;
    const QString path = Platform().dialogs->saveFileName(
        QStringLiteral("Zusammenfassung speichern"), QStringLiteral("Textdateien (*.txt)"));
    if (path.isEmpty()) return;
    const QString learner = record_.learner ? record_.learner() : QString();
    const QString error = SaveContestSummary(path, ContestSummaryText(attempt_->entry(), learner));
    tell(error.isEmpty() ? QStringLiteral("Die Zusammenfassung steht in „%1“.").arg(path) : error);
}

void ContestWindow::refreshBestList() {
    bestList_->setRowCount(0);
    if (record_.databasePath.isEmpty() || !record_.learner) return;
    if (record_.flush) record_.flush();
    RecordStore store(record_.databasePath);
    if (!store.isOpen()) return;
    const std::vector<ContestBest> best = store.contestBestList(record_.learner(), kBestListRows);
    bestList_->setRowCount(static_cast<int>(best.size()));
    const QLocale locale;
    for (int row = 0; row < static_cast<int>(best.size()); ++row) {
        const QStringList cells = {QString::number(row + 1), QString::number(best[row].score),
                                   QString::number(best[row].highestBpm),
                                   locale.toString(best[row].at, QLocale::ShortFormat)};
        for (int c = 0; c < cells.size(); ++c)
            bestList_->setItem(row, c, new QTableWidgetItem(cells[c]));
    }
}

void ContestWindow::closeEvent(QCloseEvent* event) {
    stopAttempt();
    QDialog::closeEvent(event);
}

void ContestWindow::reject() {
    stopAttempt();
    QDialog::reject();
}
