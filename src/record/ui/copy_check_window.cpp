#include "record/ui/copy_check_window.h"

#include <QAccessible>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "record/copy_check.h"

namespace {
// Longest copy the box keeps (characters); the check looks at fewer still.
constexpr int kMaxCopyChars = 20000;

QString escaped(QChar c) { return QString(c).toHtmlEscaped(); }

// The copy as it was compared, each error in its own colour and with its kind spelled out in
// the tooltip of the span: wrong red, missed (shown as the sent character, struck out) orange,
// extra blue and underlined.
QString markedCopy(const CopyCheckResult& r) {
    QString html = QStringLiteral("<p style=\"font-family: monospace; font-size: 14pt\">");
    for (const AlignedPair& p : r.pairs) {
        switch (p.kind) {
            case AlignedPair::Kind::Right:
                html += escaped(p.copied);
                break;
            case AlignedPair::Kind::Wrong:
                html += QStringLiteral(
                            "<span style=\"color:#c00000; font-weight:bold\" title=\"falsch, "
                            "gesendet %1\">%2</span>")
                            .arg(escaped(p.sent), escaped(p.copied));
                break;
            case AlignedPair::Kind::Missed:
                html += QStringLiteral(
                            "<span style=\"color:#b06000; text-decoration:line-through\" "
                            "title=\"fehlt\">%1</span>")
                            .arg(escaped(p.sent));
                break;
            case AlignedPair::Kind::Extra:
                html += QStringLiteral(
                            "<span style=\"color:#0000c0; text-decoration:underline\" title=\"zu "
                            "viel\">%1</span>")
                            .arg(escaped(p.copied));
                break;
        }
    }
    return html + QStringLiteral(
                      "</p><p>Rot: falsch, orange durchgestrichen: fehlt, blau "
                      "unterstrichen: zu viel.</p>");
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

    share_ = new QLabel(this);
    // The share of correct characters of the last check.
    share_->setObjectName(QStringLiteral("Anteil"));
    share_->setAccessibleName(QStringLiteral("Anteil richtig"));
    share_->setFocusPolicy(Qt::TabFocus);
    share_->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);

    auto* resultLabel = new QLabel(QStringLiteral("&Ergebnis:"), this);
    result_ = new QTextBrowser(this);
    // The copy as compared, every error marked.
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
    share_->setText(ShareText(result));
    share_->setAccessibleDescription(words);
    result_->setHtml(markedCopy(result));
    result_->setAccessibleDescription(words);
    for (QWidget* w : {static_cast<QWidget*>(share_), static_cast<QWidget*>(result_)}) {
        QAccessibleEvent changed(w, QAccessible::DescriptionChanged);
        QAccessible::updateAccessibility(&changed);
    }
    QAccessibleEvent name(share_, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&name);
    if (onChecked) onChecked(result);
}
