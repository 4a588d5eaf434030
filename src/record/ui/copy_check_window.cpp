#include "record/ui/copy_check_window.h"

#include <QAccessible>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "platform/ui/announcer.h"
#include "platform/ui/value_label.h"
#include "record/aligned_lines.h"
#include "record/copy_check.h"
#include "state/shared_state.h"

namespace {
// Longest copy the box keeps (characters); the check looks at fewer still.
constexpr int kMaxCopyChars = 20000;

// Columns of one row of the aligned view (monospace, so sent and copied characters stand one
// under the other).
constexpr int kColumnsPerRow = 40;

QString escaped(QChar c) { return QString(c).toHtmlEscaped(); }

QString span(const QString& style, const QString& title, QChar c) {
    return QStringLiteral("<span style=\"%1\" title=\"%2\">%3</span>")
        .arg(style, title, escaped(c));
}

const QString kWrongStyle = QStringLiteral("color:#c00000; font-weight:bold");
const QString kMissedStyle = QStringLiteral("color:#b06000; font-weight:bold");
const QString kMissedGapStyle = QStringLiteral("background-color:#ffd8a0");
const QString kExtraStyle = QStringLiteral("color:#0000c0; text-decoration:underline");
const QString kExtraGapStyle = QStringLiteral("background-color:#c8d8ff");

QString sentCell(const AlignedColumn& c) {
    switch (c.kind) {
        case AlignedColumn::Kind::Wrong:
            return span(QStringLiteral("font-weight:bold"), QStringLiteral("gesendet"), c.sent);
        case AlignedColumn::Kind::Missed:
            return span(kMissedStyle, QStringLiteral("fehlt in der Mitschrift"), c.sent);
        case AlignedColumn::Kind::Extra:
            return span(kExtraGapStyle, QStringLiteral("nicht gesendet"), c.sent);
        case AlignedColumn::Kind::Right:
        case AlignedColumn::Kind::Blank:
            break;
    }
    return escaped(c.sent);
}

QString copyCell(const AlignedColumn& c) {
    switch (c.kind) {
        case AlignedColumn::Kind::Wrong:
            return span(kWrongStyle, QStringLiteral("falsch, gesendet %1").arg(c.sent), c.copied);
        case AlignedColumn::Kind::Missed:
            return span(kMissedGapStyle, QStringLiteral("fehlt"), c.copied);
        case AlignedColumn::Kind::Extra:
            return span(kExtraStyle, QStringLiteral("zu viel"), c.copied);
        case AlignedColumn::Kind::Right:
        case AlignedColumn::Kind::Blank:
            break;
    }
    return escaped(c.copied);
}

// The sent text above the copy, character under character, in rows; each error in its own
// colour, with its kind spelled out in the tooltip of the span: wrong red, missed orange (a
// gap in the copy), extra blue and underlined (a gap in the sent line).
QString alignedView(const CopyCheckResult& r, const QString& sentText) {
    QString html = QStringLiteral("<pre style=\"font-family: monospace; font-size: 14pt\">");
    for (const AlignedRow& row : AlignedRows(r, sentText, kColumnsPerRow)) {
        html += QStringLiteral("Gesendet:   ");
        for (const AlignedColumn& c : row) html += sentCell(c);
        html += QStringLiteral("\nMitschrift: ");
        for (const AlignedColumn& c : row) html += copyCell(c);
        html += QStringLiteral("\n\n");
    }
    return html + QStringLiteral(
                      "</pre><p>Oben der gesendete Text, darunter die Mitschrift. Rot: falsch, "
                      "orange: fehlt, blau unterstrichen: zu viel.</p>");
}
}  // namespace

CopyCheckWindow::CopyCheckWindow(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Mitschrift"));
    setWindowTitle(QStringLiteral("Mitschrift"));
    setModal(false);
    auto* layout = new QVBoxLayout(this);

    auto* copyLabel =
        new QLabel(QStringLiteral("&Mitschrift (während oder nach dem Durchgang):"), this);
    copy_ = new QPlainTextEdit(this);
    // The box where the learner writes down what he hears.
    copy_->setObjectName(QStringLiteral("MitschriftText"));
    copy_->setAccessibleName(QStringLiteral("Mitschrift"));
    copy_->setAccessibleDescription(
        QStringLiteral("Hier schreiben Sie mit, was Sie hören; Prüfen vergleicht mit dem "
                       "gesendeten Text."));
    copy_->setTabChangesFocus(true);
    copyLabel->setBuddy(copy_);
    connect(copy_, &QPlainTextEdit::textChanged, this, [this] {
        if (copy_->document()->characterCount() > kMaxCopyChars) {
            const QString text = copy_->toPlainText().left(kMaxCopyChars);
            const QSignalBlocker block(copy_);
            copy_->setPlainText(text);
            copy_->moveCursor(QTextCursor::End);
        }
    });

    checkButton_ = new QPushButton(QStringLiteral("&Prüfen"), this);
    // Compares the copy with the text of the last run.
    checkButton_->setObjectName(QStringLiteral("Pruefen"));
    checkButton_->setAccessibleName(QStringLiteral("Prüfen"));
    checkButton_->setAccessibleDescription(
        QStringLiteral("Vergleicht die Mitschrift mit dem Text des letzten Durchgangs."));
    connect(checkButton_, &QPushButton::clicked, this, &CopyCheckWindow::check);

    share_ = new ValueLabel(this);
    // The share of correct characters of the last check.
    share_->setObjectName(QStringLiteral("Anteil"));
    share_->setMeaning(QStringLiteral("Ergebnis"));
    share_->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    // Reached with Tab, so that the result can be heard again.
    share_->setFocusPolicy(Qt::StrongFocus);

    announcer_ = new Announcer(this);
    auto* resultLabel = new QLabel(QStringLiteral("&Ergebnis:"), this);
    result_ = new QTextBrowser(this);
    // The sent text above the copy as compared, every error marked.
    result_->setObjectName(QStringLiteral("Ergebnis"));
    result_->setAccessibleName(QStringLiteral("Ergebnis der Prüfung"));
    result_->setTabChangesFocus(true);
    resultLabel->setBuddy(result_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("&Schließen"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::hide);

    layout->addWidget(copyLabel);
    layout->addWidget(copy_, 2);
    layout->addWidget(checkButton_);
    layout->addWidget(share_);
    layout->addWidget(resultLabel);
    layout->addWidget(result_, 3);
    layout->addWidget(buttons);
    resize(560, 420);
}

void CopyCheckWindow::present() {
    show();
    raise();
    activateWindow();
    copy_->setFocus();
}

void CopyCheckWindow::check() {
    const CopyCheckResult result = CheckCopy(copy_->toPlainText());
    const QString words = DescribeCopyCheck(result);
    share_->setAccessibleDescription(words);
    share_->setValueText(ShareText(result));
    result_->setHtml(alignedView(result, S().SentText));
    result_->setAccessibleDescription(words);
    for (QWidget* w : {static_cast<QWidget*>(share_), static_cast<QWidget*>(result_)}) {
        QAccessibleEvent changed(w, QAccessible::DescriptionChanged);
        QAccessible::updateAccessibility(&changed);
    }
    // A screen reader speaks what has the focus: the result, with the errors in words, is
    // heard at once, as it is seen at once.
    share_->setFocus(Qt::OtherFocusReason);
    // A screen reader speaks a label's text but not its description: the errors in words
    // follow as a message.
    announcer_->announceAfterFocus(words);
    if (onChecked) onChecked(result);
}
