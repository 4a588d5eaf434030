#include "record/ui/progress_window.h"

#include <QAccessible>
#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDateTimeAxis>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QHorizontalBarSeries>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QLocale>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QSplitter>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>

#include "platform/background_work.h"
#include "platform/clock.h"
#include "platform/services.h"
#include "platform/ui/combo_value.h"
#include "record/csv_export.h"
#include "record/progress_figures.h"
#include "record/record_store.h"

namespace {
// Bars drawn at most per chart; the table beside it always has every row.
constexpr int kMaxBars = 40;
// The longest lists shown: confusions, characters most often missed in the contest.
constexpr int kListLimit = 20;

QString percent(double share) { return QLocale().toString(share * 100.0, 'f', 1); }

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

QChartView* chartView(QWidget* parent, const char* objectName, const QString& accessible) {
    auto* v = new QChartView(new QChart, parent);
    v->setObjectName(QString::fromLatin1(objectName));
    v->setAccessibleName(accessible);
    v->setRenderHint(QPainter::Antialiasing);
    v->setMinimumSize(360, 280);
    v->chart()->legend()->setAlignment(Qt::AlignBottom);
    return v;
}

void fillRow(QTableWidget* t, int row, const QStringList& cells) {
    for (int c = 0; c < cells.size(); ++c) {
        auto* item = new QTableWidgetItem(cells[c]);
        if (c > 0) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        t->setItem(row, c, item);
    }
}

void replaceChart(QChartView* view, QChart* chart, const QString& summary) {
    QChart* old = view->chart();
    view->setChart(chart);
    delete old;
    view->setAccessibleDescription(summary);
    QAccessibleEvent changed(view, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&changed);
}

QChart* barChart(const QString& title, const QString& setName, const QStringList& categories,
                 const QList<qreal>& values, double maximum, bool horizontal) {
    auto* chart = new QChart;
    chart->setTitle(title);
    auto* set = new QBarSet(setName);
    set->append(values);
    QAbstractBarSeries* series = horizontal
                                     ? static_cast<QAbstractBarSeries*>(new QHorizontalBarSeries)
                                     : static_cast<QAbstractBarSeries*>(new QBarSeries);
    series->append(set);
    chart->addSeries(series);
    auto* categoryAxis = new QBarCategoryAxis;
    categoryAxis->append(categories);
    auto* valueAxis = new QValueAxis;
    valueAxis->setRange(0, maximum > 0 ? maximum : 1);
    valueAxis->setLabelFormat(QStringLiteral("%.0f"));
    chart->addAxis(categoryAxis, horizontal ? Qt::AlignLeft : Qt::AlignBottom);
    chart->addAxis(valueAxis, horizontal ? Qt::AlignBottom : Qt::AlignLeft);
    series->attachAxis(categoryAxis);
    series->attachAxis(valueAxis);
    chart->legend()->setVisible(false);
    return chart;
}

QWidget* chartWithTable(QWidget* parent, QChartView* chart, QTableWidget* table) {
    auto* splitter = new QSplitter(Qt::Horizontal, parent);
    splitter->addWidget(chart);
    splitter->addWidget(table);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 2);
    return splitter;
}
}  // namespace

ProgressWindow::ProgressWindow(const QString& databasePath, const QString& learner, QWidget* parent)
    : QDialog(parent), reader_(std::make_shared<Reader>(Reader{databasePath, nullptr})) {
    setObjectName(QStringLiteral("Lernstand"));
    setWindowTitle(QStringLiteral("Lernstand"));
    setModal(false);
    tell = [this](const QString& text) {
        QMessageBox::information(this, QStringLiteral("Lernstand"), text);
    };
    askExportPath = [this] {
        return QFileDialog::getSaveFileName(this, QStringLiteral("Lernstand exportieren"),
                                            QStringLiteral("lernstand.csv"),
                                            QStringLiteral("CSV-Dateien (*.csv)"));
    };

    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    auto* learnerLabel = new QLabel(QStringLiteral("&Lernende(r):"), this);
    learner_ = new QComboBox(this);
    // Whose record is shown and recorded; a new name can be typed.
    learner_->setObjectName(QStringLiteral("Lernender"));
    learner_->setAccessibleName(QStringLiteral("Lernende(r)"));
    learner_->setEditable(true);
    learner_->setInsertPolicy(QComboBox::NoInsert);
    learner_->setMinimumContentsLength(16);
    learner_->addItem(learner);
    chosen_ = learner;
    learnerLabel->setBuddy(learner_);
    auto* periodLabel = new QLabel(QStringLiteral("&Zeitraum:"), this);
    period_ = new QComboBox(this);
    // Period of the figures: 7 days, 30 days or all.
    period_->setObjectName(QStringLiteral("Zeitraum"));
    period_->setAccessibleName(QStringLiteral("Zeitraum"));
    period_->addItem(QStringLiteral("7 Tage"), 7);
    period_->addItem(QStringLiteral("30 Tage"), 30);
    period_->addItem(QStringLiteral("Alle"), 0);
    period_->setCurrentIndex(1);
    SpeakCurrentItem(period_);
    periodLabel->setBuddy(period_);
    export_ = new QPushButton(QStringLiteral("&Exportieren ..."), this);
    // Writes the record of the learner as a CSV file.
    export_->setObjectName(QStringLiteral("Exportieren"));
    export_->setAccessibleName(QStringLiteral("Exportieren"));
    export_->setAccessibleDescription(
        QStringLiteral("Schreibt den Lernstand als CSV-Datei für eine Tabellenkalkulation."));
    top->addWidget(learnerLabel);
    top->addWidget(learner_, 1);
    top->addWidget(periodLabel);
    top->addWidget(period_);
    top->addWidget(export_);
    layout->addLayout(top);

    status_ = new QLabel(this);
    // How many entries the figures rest on, or why there are none.
    status_->setObjectName(QStringLiteral("LernstandStatus"));
    status_->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    // After the interaction flags, which would leave the label to the mouse alone.
    status_->setFocusPolicy(Qt::TabFocus);
    layout->addWidget(status_);

    tabs_ = new QTabWidget(this);
    // The four views of the record.
    tabs_->setObjectName(QStringLiteral("LernstandSeiten"));
    tabs_->setAccessibleName(QStringLiteral("Auswertungen"));
    accuracyChart_ = chartView(this, "GenauigkeitDiagramm",
                               QStringLiteral("Diagramm: Anteil richtig je Zeichen"));
    accuracyTable_ = table(this, "GenauigkeitTabelle",
                           QStringLiteral("Tabelle: Anteil richtig je Zeichen, schwächste zuerst"),
                           {QStringLiteral("Zeichen"), QStringLiteral("Versuche"),
                            QStringLiteral("Richtig"), QStringLiteral("Anteil richtig (%)")});
    reactionChart_ = chartView(this, "ReaktionDiagramm",
                               QStringLiteral("Diagramm: mittlere Reaktionszeit je Zeichen"));
    reactionTable_ =
        table(this, "ReaktionTabelle", QStringLiteral("Tabelle: mittlere Reaktionszeit je Zeichen"),
              {QStringLiteral("Zeichen"), QStringLiteral("Richtige Antworten"),
               QStringLiteral("Reaktionszeit (ms)")});
    dayChart_ = chartView(this, "VerlaufDiagramm",
                          QStringLiteral("Diagramm: Anteil richtig und Tempo je Tag"));
    dayTable_ = table(
        this, "VerlaufTabelle", QStringLiteral("Tabelle: Verlauf je Tag"),
        {QStringLiteral("Tag"), QStringLiteral("Versuche"), QStringLiteral("Anteil richtig (%)"),
         QStringLiteral("Durchgänge"), QStringLiteral("Gemessenes Tempo (Zeichen/min)")});
    confusionChart_ = chartView(this, "VerwechslungDiagramm",
                                QStringLiteral("Diagramm: häufigste Verwechslungen"));
    confusionTable_ =
        table(this, "VerwechslungTabelle", QStringLiteral("Tabelle: häufigste Verwechslungen"),
              {QStringLiteral("Verwechslung"), QStringLiteral("Anzahl")});
    tabs_->addTab(chartWithTable(this, accuracyChart_, accuracyTable_),
                  QStringLiteral("&Genauigkeit"));
    tabs_->addTab(chartWithTable(this, reactionChart_, reactionTable_),
                  QStringLiteral("&Reaktionszeit"));
    tabs_->addTab(chartWithTable(this, dayChart_, dayTable_), QStringLiteral("&Verlauf"));
    tabs_->addTab(chartWithTable(this, confusionChart_, confusionTable_),
                  QStringLiteral("Ver&wechslungen"));
    contestChart_ = chartView(this, "WettbewerbDiagramm",
                              QStringLiteral("Diagramm: Punkte im Rufzeichen-Wettbewerb"));
    contestTable_ = table(this, "WettbewerbTabelle",
                          QStringLiteral("Tabelle: Durchgänge des Rufzeichen-Wettbewerbs"),
                          {QStringLiteral("Datum"), QStringLiteral("Punkte"),
                           QStringLiteral("Höchstes Tempo (BpM)"), QStringLiteral("Tempo am Ende (BpM)"),
                           QStringLiteral("Bestenliste")});
    contestMissesTable_ = table(
        this, "WettbewerbFehlerTabelle",
        QStringLiteral("Tabelle: in Rufzeichen am häufigsten verfehlte Zeichen"),
        {QStringLiteral("Zeichen"), QStringLiteral("Verfehlt"), QStringLiteral("Gesendet"),
         QStringLiteral("Anteil verfehlt (%)")});
    auto* contestTables = new QSplitter(Qt::Vertical, this);
    contestTables->addWidget(contestTable_);
    contestTables->addWidget(contestMissesTable_);
    auto* contestPage = new QSplitter(Qt::Horizontal, this);
    contestPage->addWidget(contestChart_);
    contestPage->addWidget(contestTables);
    contestPage->setStretchFactor(0, 3);
    contestPage->setStretchFactor(1, 2);
    tabs_->addTab(contestPage, QStringLiteral("Wettbewer&b"));
    sendingChart_ =
        chartView(this, "GebenDiagramm",
                  QStringLiteral("Diagramm: Gleichmäßigkeit und Tempo beim Geben je Tag"));
    sendingTable_ =
        table(this, "GebenTabelle", QStringLiteral("Tabelle: Geben je Zeichen, ungenaueste zuerst"),
              {QStringLiteral("Zeichen"), QStringLiteral("Vorgegeben"),
               QStringLiteral("Richtig gegeben"), QStringLiteral("Anteil richtig (%)"),
               QStringLiteral("Gegeben"), QStringLiteral("Abweichung vom Ideal (%)")});
    sendingDayTable_ =
        table(this, "GebenVerlaufTabelle", QStringLiteral("Tabelle: Geben je Tag"),
              {QStringLiteral("Tag"), QStringLiteral("Versuche"), QStringLiteral("Gleichmäßigkeit"),
               QStringLiteral("Tempo (Zeichen/min)")});
    auto* sendingTables = new QSplitter(Qt::Vertical, this);
    sendingTables->addWidget(sendingTable_);
    sendingTables->addWidget(sendingDayTable_);
    auto* sendingPage = new QSplitter(Qt::Horizontal, this);
    sendingPage->addWidget(sendingChart_);
    sendingPage->addWidget(sendingTables);
    sendingPage->setStretchFactor(0, 3);
    sendingPage->setStretchFactor(1, 2);
    tabs_->addTab(sendingPage, QStringLiteral("Gebe&n"));
    layout->addWidget(tabs_, 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("&Schließen"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::hide);
    layout->addWidget(buttons);

    connect(period_, &QComboBox::currentIndexChanged, this, &ProgressWindow::refresh);
    connect(learner_, &QComboBox::activated, this, &ProgressWindow::chooseLearner);
    connect(learner_->lineEdit(), &QLineEdit::editingFinished, this,
            &ProgressWindow::chooseLearner);
    connect(export_, &QPushButton::clicked, this, &ProgressWindow::exportCsv);
    resize(900, 600);
}

ProgressWindow::~ProgressWindow() {
    // Hiding the window moves the focus out of the learner box, which must not choose anew.
    disconnect(learner_, nullptr, this, nullptr);
    disconnect(learner_->lineEdit(), nullptr, this, nullptr);
    // The connection was made on the background thread and is closed there.
    if (BackgroundWork* background = InstalledBackgroundWork())
        background->run([reader = std::move(reader_)]() mutable { reader.reset(); }, {});
}

void ProgressWindow::chooseLearner() {
    const QString name = learner();
    if (name.isEmpty() || name == chosen_) return;
    chosen_ = name;
    emit learnerChosen(name);
    refresh();
}

void ProgressWindow::addPage(QWidget* page, const QString& title) { tabs_->addTab(page, title); }

QString ProgressWindow::learner() const { return learner_->currentText().trimmed().left(64); }

RecordStore& ProgressWindow::Reader::open() {
    if (!store || !store->isOpen()) store = std::make_unique<RecordStore>(path);
    return *store;
}

void ProgressWindow::refresh() {
    BackgroundWork* background = InstalledBackgroundWork();
    if (!background) return;
    const QString who = learner();
    const int days = period_->currentData().toInt();
    const QDateTime since = days > 0 ? Platform().clock->now().addDays(-days) : QDateTime();
    const int request = ++requests_;
    status_->setText(QStringLiteral("Der Lernstand wird gelesen …"));
    auto figures = std::make_shared<ProgressFigures>();
    background->run(
        [reader = reader_, figures, who, since] {
            *figures = ReadProgressFigures(reader->open(), who, since, kListLimit);
        },
        [window = QPointer<ProgressWindow>(this), request, figures, who] {
            // A newer refresh (another period chosen meanwhile) shows its own figures.
            if (window && request == window->requests_) window->display(*figures, who);
        });
}

void ProgressWindow::display(const ProgressFigures& read, const QString& who) {
    for (QTableWidget* t : {accuracyTable_, reactionTable_, dayTable_, confusionTable_,
                            contestTable_, contestMissesTable_, sendingTable_, sendingDayTable_})
        t->setRowCount(0);
    if (!read.readable) {
        status_->setText(QStringLiteral("Der Lernstand lässt sich nicht lesen: ") + read.error);
        export_->setEnabled(false);
        emit shown();
        return;
    }
    export_->setEnabled(true);
    {
        const QSignalBlocker block(learner_);
        QStringList names = read.learners;
        if (!names.contains(who)) names << who;
        learner_->clear();
        learner_->addItems(names);
        learner_->setCurrentText(who);
    }

    // Accuracy per character, worst first.
    std::vector<CharacterFigures> figures = read.characters;
    std::sort(figures.begin(), figures.end(), [](const auto& a, const auto& b) {
        if (a.accuracy() != b.accuracy()) return a.accuracy() < b.accuracy();
        return a.character < b.character;
    });
    int attempts = 0;
    accuracyTable_->setRowCount(static_cast<int>(figures.size()));
    QStringList categories;
    QList<qreal> values;
    for (int i = 0; i < static_cast<int>(figures.size()); ++i) {
        const CharacterFigures& f = figures[i];
        attempts += f.attempts;
        fillRow(accuracyTable_, i,
                {f.character, QString::number(f.attempts), QString::number(f.right),
                 percent(f.accuracy())});
        if (i < kMaxBars) {
            categories.prepend(f.character);  // the worst at the top
            values.prepend(f.accuracy() * 100.0);
        }
    }
    replaceChart(accuracyChart_,
                 barChart(QStringLiteral("Anteil richtig je Zeichen (%)"), QStringLiteral("Anteil"),
                          categories, values, 100, true),
                 figures.empty()
                     ? QStringLiteral("Keine Einträge.")
                     : QStringLiteral("Schwächstes Zeichen %1 mit %2 %")
                           .arg(figures.front().character, percent(figures.front().accuracy())));

    // Mean reaction time of the right drill answers, slowest first.
    std::vector<CharacterFigures> timed;
    std::copy_if(figures.begin(), figures.end(), std::back_inserter(timed),
                 [](const auto& f) { return f.reactionCount > 0; });
    std::sort(timed.begin(), timed.end(),
              [](const auto& a, const auto& b) { return a.meanReactionMs > b.meanReactionMs; });
    reactionTable_->setRowCount(static_cast<int>(timed.size()));
    categories.clear();
    values.clear();
    double slowest = 0;
    for (int i = 0; i < static_cast<int>(timed.size()); ++i) {
        const CharacterFigures& f = timed[i];
        fillRow(reactionTable_, i,
                {f.character, QString::number(f.reactionCount),
                 QString::number(qRound(f.meanReactionMs))});
        slowest = std::max(slowest, f.meanReactionMs);
        if (i < kMaxBars) {
            categories << f.character;
            values << f.meanReactionMs;
        }
    }
    replaceChart(
        reactionChart_,
        barChart(QStringLiteral("Mittlere Reaktionszeit je Zeichen (ms)"),
                 QStringLiteral("Reaktionszeit"), categories, values, slowest * 1.1, false),
        timed.empty() ? QStringLiteral("Keine Antworten aus Frage + Antwort.")
                      : QStringLiteral("Langsamstes Zeichen %1 mit %2 ms")
                            .arg(timed.front().character)
                            .arg(qRound(timed.front().meanReactionMs)));

    // Accuracy and measured speed per day.
    const std::vector<DayFigures>& dayFigures = read.days;
    dayTable_->setRowCount(static_cast<int>(dayFigures.size()));
    auto* chart = new QChart;
    chart->setTitle(QStringLiteral("Verlauf je Tag"));
    auto* accuracy = new QLineSeries;
    accuracy->setName(QStringLiteral("Anteil richtig (%)"));
    auto* speed = new QLineSeries;
    speed->setName(QStringLiteral("Gemessenes Tempo (Zeichen/min)"));
    double fastest = 0;
    for (int i = 0; i < static_cast<int>(dayFigures.size()); ++i) {
        const DayFigures& d = dayFigures[i];
        const double share = d.attempts > 0 ? static_cast<double>(d.right) / d.attempts : 0;
        fillRow(dayTable_, i,
                {QLocale().toString(d.day, QLocale::ShortFormat), QString::number(d.attempts),
                 d.attempts > 0 ? percent(share) : QString(), QString::number(d.runs),
                 d.runs > 0 ? QLocale().toString(d.meanMeasuredCpm, 'f', 1) : QString()});
        const qreal x = QDateTime(d.day, QTime(12, 0)).toMSecsSinceEpoch();
        if (d.attempts > 0) accuracy->append(x, share * 100.0);
        if (d.runs > 0) speed->append(x, d.meanMeasuredCpm);
        fastest = std::max(fastest, d.meanMeasuredCpm);
    }
    chart->addSeries(accuracy);
    chart->addSeries(speed);
    auto* time = new QDateTimeAxis;
    time->setFormat(QStringLiteral("dd.MM."));
    if (!dayFigures.empty()) {
        time->setRange(QDateTime(dayFigures.front().day, QTime(0, 0)),
                       QDateTime(dayFigures.back().day, QTime(23, 59)));
    }
    auto* shareAxis = new QValueAxis;
    shareAxis->setRange(0, 100);
    shareAxis->setTitleText(QStringLiteral("%"));
    auto* speedAxis = new QValueAxis;
    speedAxis->setRange(0, fastest > 0 ? fastest * 1.1 : 100);
    speedAxis->setTitleText(QStringLiteral("Zeichen/min"));
    chart->addAxis(time, Qt::AlignBottom);
    chart->addAxis(shareAxis, Qt::AlignLeft);
    chart->addAxis(speedAxis, Qt::AlignRight);
    accuracy->attachAxis(time);
    accuracy->attachAxis(shareAxis);
    speed->attachAxis(time);
    speed->attachAxis(speedAxis);
    replaceChart(dayChart_, chart, QStringLiteral("%1 Tage mit Einträgen").arg(dayFigures.size()));

    // The most frequent confusions.
    const std::vector<Confusion>& confusions = read.confusions;
    confusionTable_->setRowCount(static_cast<int>(confusions.size()));
    categories.clear();
    values.clear();
    int most = 0;
    for (int i = 0; i < static_cast<int>(confusions.size()); ++i) {
        const Confusion& c = confusions[i];
        const QString words = QStringLiteral("%1 gehört als %2").arg(c.sent, c.heard);
        fillRow(confusionTable_, i, {words, QString::number(c.count)});
        most = std::max(most, c.count);
        categories.prepend(words);
        values.prepend(c.count);
    }
    replaceChart(confusionChart_,
                 barChart(QStringLiteral("Häufigste Verwechslungen"), QStringLiteral("Anzahl"),
                          categories, values, most * 1.1, true),
                 confusions.empty() ? QStringLiteral("Keine Verwechslungen.")
                                    : QStringLiteral("Häufigste: %1 gehört als %2, %3 mal")
                                          .arg(confusions.front().sent, confusions.front().heard)
                                          .arg(confusions.front().count));

    showContest(read.contestAttempts, read.contestMisses);
    showSending(read.sendingCharacters, read.sendingDays);

    status_->setText(
        attempts == 0
            ? QStringLiteral("Für %1 gibt es in diesem Zeitraum noch keine Einträge.").arg(who)
            : QStringLiteral("%1: %2 Antworten und geprüfte Zeichen im Zeitraum.")
                  .arg(who)
                  .arg(attempts));
    QAccessibleEvent changed(status_, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&changed);
    emit shown();
}

void ProgressWindow::showContest(const std::vector<ContestAttemptEntry>& attempts,
                                 const std::vector<ContestMisses>& misses) {
    contestTable_->setRowCount(static_cast<int>(attempts.size()));
    auto* chart = new QChart;
    chart->setTitle(QStringLiteral("Punkte im Rufzeichen-Wettbewerb"));
    auto* scores = new QLineSeries;
    scores->setName(QStringLiteral("Punkte"));
    int best = 0;
    for (int i = 0; i < static_cast<int>(attempts.size()); ++i) {
        const ContestAttemptEntry& a = attempts[i];
        const QString counts = a.completed && a.forBestList ? QStringLiteral("ja")
                               : a.completed                ? QStringLiteral("nein (Optionen)")
                                                            : QStringLiteral("nein (abgebrochen)");
        fillRow(contestTable_, i,
                {QLocale().toString(a.at, QLocale::ShortFormat), QString::number(a.score),
                 QString::number(a.highestBpm), QString::number(a.finalBpm), counts});
        scores->append(a.at.toMSecsSinceEpoch(), a.score);
        best = std::max(best, a.score);
    }
    chart->addSeries(scores);
    auto* time = new QDateTimeAxis;
    time->setFormat(QStringLiteral("dd.MM."));
    if (!attempts.empty()) time->setRange(attempts.front().at, attempts.back().at.addSecs(60));
    auto* pointsAxis = new QValueAxis;
    pointsAxis->setRange(0, best > 0 ? best * 1.1 : 100);
    pointsAxis->setLabelFormat(QStringLiteral("%.0f"));
    chart->addAxis(time, Qt::AlignBottom);
    chart->addAxis(pointsAxis, Qt::AlignLeft);
    scores->attachAxis(time);
    scores->attachAxis(pointsAxis);
    chart->legend()->setVisible(false);

    contestMissesTable_->setRowCount(static_cast<int>(misses.size()));
    for (int i = 0; i < static_cast<int>(misses.size()); ++i) {
        const ContestMisses& m = misses[i];
        fillRow(contestMissesTable_, i,
                {m.character, QString::number(m.missed), QString::number(m.sent),
                 percent(m.sent > 0 ? static_cast<double>(m.missed) / m.sent : 0)});
    }
    QString summary = attempts.empty()
                          ? QStringLiteral("Keine Durchgänge im Rufzeichen-Wettbewerb.")
                          : QStringLiteral("%1 Durchgänge, beste Punktzahl %2")
                                .arg(attempts.size())
                                .arg(best);
    if (!misses.empty())
        summary += QStringLiteral("; am häufigsten verfehlt: %1").arg(misses.front().character);
    replaceChart(contestChart_, chart, summary);
}

void ProgressWindow::showSending(const std::vector<SendingCharacterFigures>& characters,
                                 const std::vector<SendingDayFigures>& days) {
    // The characters keyed least accurately first, then those timed worst.
    std::vector<SendingCharacterFigures> sorted = characters;
    std::sort(sorted.begin(), sorted.end(), [](const auto& a, const auto& b) {
        const double ra = a.attempts > 0 ? a.accuracy() : 2.0;
        const double rb = b.attempts > 0 ? b.accuracy() : 2.0;
        if (ra != rb) return ra < rb;
        if (a.meanDeparturePercent != b.meanDeparturePercent)
            return a.meanDeparturePercent > b.meanDeparturePercent;
        return a.character < b.character;
    });
    sendingTable_->setRowCount(static_cast<int>(sorted.size()));
    for (int i = 0; i < static_cast<int>(sorted.size()); ++i) {
        const SendingCharacterFigures& f = sorted[i];
        fillRow(sendingTable_, i,
                {f.character, QString::number(f.attempts), QString::number(f.right),
                 f.attempts > 0 ? percent(f.accuracy()) : QString(), QString::number(f.timed),
                 f.timed > 0 ? QLocale().toString(f.meanDeparturePercent, 'f', 0) : QString()});
    }

    sendingDayTable_->setRowCount(static_cast<int>(days.size()));
    auto* chart = new QChart;
    chart->setTitle(QStringLiteral("Geben je Tag"));
    auto* regularity = new QLineSeries;
    regularity->setName(QStringLiteral("Gleichmäßigkeit (0–100)"));
    auto* speed = new QLineSeries;
    speed->setName(QStringLiteral("Tempo (Zeichen/min)"));
    double fastest = 0;
    for (int i = 0; i < static_cast<int>(days.size()); ++i) {
        const SendingDayFigures& d = days[i];
        fillRow(
            sendingDayTable_, i,
            {QLocale().toString(d.day, QLocale::ShortFormat), QString::number(d.attempts),
             QLocale().toString(d.meanRegularity, 'f', 0), QLocale().toString(d.meanCpm, 'f', 0)});
        const qreal x = QDateTime(d.day, QTime(12, 0)).toMSecsSinceEpoch();
        regularity->append(x, d.meanRegularity);
        speed->append(x, d.meanCpm);
        fastest = std::max(fastest, d.meanCpm);
    }
    chart->addSeries(regularity);
    chart->addSeries(speed);
    auto* time = new QDateTimeAxis;
    time->setFormat(QStringLiteral("dd.MM."));
    if (!days.empty()) {
        time->setRange(QDateTime(days.front().day, QTime(0, 0)),
                       QDateTime(days.back().day, QTime(23, 59)));
    }
    auto* scoreAxis = new QValueAxis;
    scoreAxis->setRange(0, 100);
    auto* speedAxis = new QValueAxis;
    speedAxis->setRange(0, fastest > 0 ? fastest * 1.1 : 100);
    speedAxis->setTitleText(QStringLiteral("Zeichen/min"));
    chart->addAxis(time, Qt::AlignBottom);
    chart->addAxis(scoreAxis, Qt::AlignLeft);
    chart->addAxis(speedAxis, Qt::AlignRight);
    regularity->attachAxis(time);
    regularity->attachAxis(scoreAxis);
    speed->attachAxis(time);
    speed->attachAxis(speedAxis);
    QString summary = days.empty() ? QStringLiteral("Keine Versuche beim Geben.")
                                   : QStringLiteral(
                                         "%1 Tage mit Versuchen beim Geben, zuletzt "
                                         "Gleichmäßigkeit %2 bei %3 Zeichen/min")
                                         .arg(days.size())
                                         .arg(qRound(days.back().meanRegularity))
                                         .arg(qRound(days.back().meanCpm));
    if (!sorted.empty() && sorted.front().attempts > 0)
        summary += QStringLiteral("; am ungenauesten: %1").arg(sorted.front().character);
    replaceChart(sendingChart_, chart, summary);
}

void ProgressWindow::exportCsv() {
    BackgroundWork* background = InstalledBackgroundWork();
    if (!background) return;
    const QString path = askExportPath ? askExportPath() : QString();
    if (path.isEmpty()) return;
    auto error = std::make_shared<QString>();
    background->run(
        [reader = reader_, error, who = learner(), path] {
            RecordStore& store = reader->open();
            *error = store.isOpen() ? ExportRecordCsv(store, who, path) : store.error();
        },
        [window = QPointer<ProgressWindow>(this), error, path] {
            if (!window || !window->tell) return;
            window->tell(error->isEmpty() ? QStringLiteral("Der Lernstand steht in „%1“.").arg(path)
                                          : *error);
        });
}
