#include "engine/printing.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include "dialogs/formtxt.h"
#include "platform/form1.h"
#include "platform/ui/qt_print_layer.h"
#include "support/registry.h"
#include "support/rig.h"

namespace {
const QString kGroups70 =
    QStringLiteral("ABCDE FGHIJ KLMNO PQRST UVWXY ZABCD EFGHI JKLMN OPQRS TUVWX YZABC DEFG");

QString blanks(int n) { return QString(n, u' '); }
QString dashes(int n) { return QString(n, u'-'); }

// Notes the mouse pointer at every line printed.
class PointerWatchingPrinter : public RecordingPrintLayer {
public:
    bool print(const QString& text, bool endLine) override {
        pointers.push_back(Platform().surface->mousePointer);
        return RecordingPrintLayer::print(text, endLine);
    }
    std::vector<MousePointer> pointers;
};

// The text of a PDF, or a null string when pdftotext is not installed.
QString pdfText(const QString& path) {
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (tool.isEmpty()) return {};
    QProcess process;
    process.start(tool, {QStringLiteral("-layout"), path, QStringLiteral("-")});
    if (!process.waitForFinished(30000)) return QStringLiteral("(pdftotext hängt)");
    return QString::fromUtf8(process.readAllStandardOutput());
}
}  // namespace

class PrintingTest : public QObject {
    Q_OBJECT
private slots:
    void printsTheWholeText();
    void breaksAfterTheBlankPastSixtyCharacters();
    void shortAndUnbrokenTexts();
    void twoPrintoutsAndFormFeedMakeOneJob();
    void sentTextUsesThePrintersFont();
    void hourglassWhilePrinting();
    void failingPrinterToldOnceAndNoCrash();
    void printerChoiceShowsTheName();
    void pdfWithoutSystemPrinter();
    void pdfInUnwritableFolderGivesMessage();
};

void PrintingTest::printsTheWholeText() {
    TestRig rig;
    rig.s.SentText = QStringLiteral("ABCDE FGHIJ");
    rig.f.Command3D4.click();
    QCOMPARE(rig.printer.jobText(1),
             (QStringList{blanks(6) + dashes(68), blanks(6) + QStringLiteral("ABCDE FGHIJ")}));
    QVERIFY(rig.printer.jobOpen());
    const auto& line = rig.printer.lines().back();
    QCOMPARE(line.fontName, QStringLiteral("Courier new"));
    QCOMPARE(line.fontSize, 12.0f);
    QVERIFY(line.bold);
    // The own-text dialog was loaded for it, not shown.
    QVERIFY(formtxt().get() && !formtxt().get()->visible());
    QCOMPARE(formtxt().get()->Text1.text(), rig.s.SentText);
}

void PrintingTest::breaksAfterTheBlankPastSixtyCharacters() {
    TestRig rig;
    PrintText(kGroups70);
    QCOMPARE(rig.printer.jobText(1).mid(1),
             (QStringList{blanks(6) + QStringLiteral("ABCDE FGHIJ KLMNO PQRST UVWXY ZABCD EFGHI "
                                                     "JKLMN OPQRS TUVWX YZABC "),
                          blanks(8) + QStringLiteral("DEFG")}));

    // Every line breaks at the first blank after 60 characters.
    rig.s.SentText = QStringLiteral("x") + QString(59, u'a') + u' ' + QString(59, u'b') +
                     QStringLiteral(" c d") + QString(10, u'e');
    PrintSentText();
    QCOMPARE(rig.printer.jobText(1).mid(3),
             (QStringList{blanks(8) + dashes(65), blanks(8) + u'x' + QString(59, u'a') + u' ',
                          blanks(8) + QString(59, u'b') + QStringLiteral(" c "),
                          blanks(8) + QStringLiteral("d") + QString(10, u'e')}));
}

void PrintingTest::shortAndUnbrokenTexts() {
    TestRig rig;
    PrintText(QStringLiteral("A"));
    QCOMPARE(rig.printer.jobText(1), (QStringList{blanks(6) + dashes(68), blanks(6) + u'A'}));
    PrintText(QString(100, u'X'));
    QCOMPARE(rig.printer.jobText(1).last(), blanks(6) + QString(100, u'X'));
}

void PrintingTest::twoPrintoutsAndFormFeedMakeOneJob() {
    TestRig rig;
    rig.s.SentText = QStringLiteral("ABCDE FGHIJ");
    rig.f.Command3D4.click();
    rig.s.SentText = QStringLiteral("KLMNO PQRST");
    rig.f.Command3D4.click();
    QCOMPARE(rig.printer.endedJobs(), 0);
    rig.f.Command3D7.click();
    QCOMPARE(rig.printer.endedJobs(), 1);
    QCOMPARE(rig.printer.jobText(1),
             (QStringList{blanks(6) + dashes(68), blanks(6) + QStringLiteral("ABCDE FGHIJ"),
                          blanks(6) + dashes(68), blanks(6) + QStringLiteral("KLMNO PQRST"),
                          blanks(6) + dashes(68)}));
    rig.f.Command3D4.click();
    QCOMPARE(rig.printer.jobText(2).size(), 2);
}

void PrintingTest::sentTextUsesThePrintersFont() {
    TestRig rig;
    rig.printer.setFontName(QStringLiteral("Arial"));
    rig.printer.setFontSize(8);
    rig.printer.setFontBold(false);
    rig.s.SentText = QStringLiteral("ABCDE FGHIJ");
    PrintSentText();
    QCOMPARE(rig.printer.jobText(1),
             (QStringList{blanks(8) + dashes(65), blanks(8) + QStringLiteral("ABCDE FGHIJ")}));
    QCOMPARE(rig.printer.lines()[1].fontName, QStringLiteral("Arial"));
    QCOMPARE(rig.printer.lines()[1].fontSize, 8.0f);
    PrintClosingLines();
    QCOMPARE(rig.printer.endedJobs(), 1);
    QCOMPARE(rig.printer.jobText(1).size(), 4);
}

void PrintingTest::hourglassWhilePrinting() {
    TestRig rig;
    PointerWatchingPrinter printer;
    Platform().printer = &printer;
    rig.s.SentText = kGroups70;
    rig.f.Command3D4.click();
    PrintSentText();
    QCOMPARE(printer.pointers.size(), size_t(6));
    for (MousePointer pointer : printer.pointers) QCOMPARE(pointer, MousePointer::Hourglass);
    QCOMPARE(rig.surface.mousePointer, MousePointer::Default);
}

void PrintingTest::failingPrinterToldOnceAndNoCrash() {
    TestRig rig;
    rig.printer.failing = true;
    rig.s.SentText = kGroups70;
    rig.f.Command3D4.click();
    QCOMPARE(rig.dialogs.messages.size(), 1);
    QVERIFY(rig.dialogs.messages[0].startsWith(QStringLiteral("Drucken ist nicht möglich.")));
    QVERIFY(rig.dialogs.messages[0].contains(rig.printer.errorText()));
    QCOMPARE(rig.surface.mousePointer, MousePointer::Default);
    PrintClosingLines();
    QCOMPARE(rig.dialogs.messages.size(), 2);
    QVERIFY(rig.printer.lines().empty());
}

void PrintingTest::printerChoiceShowsTheName() {
    TestRig rig;
    rig.startUp();
    QCOMPARE(rig.f.L_Printer.caption(), QStringLiteral("Testdrucker"));
    rig.printer.knownPrinters << QStringLiteral("Laser im Flur");
    rig.dialogs.printerAnswer = QStringLiteral("Laser im Flur");
    rig.f.DruConf.click();
    QCOMPARE(rig.f.L_Printer.caption(), QStringLiteral("Laser im Flur"));
    rig.dialogs.printerAnswer.clear();
    rig.printer.name = QStringLiteral("Anderer");
    rig.f.L_Printer.click();
    QCOMPARE(rig.dialogs.printerSetups, 2);
    QCOMPARE(rig.f.L_Printer.caption(), QStringLiteral("Anderer"));
    // Without any printer the label keeps its caption.
    rig.printer.name.clear();
    rig.f.DruConf.click();
    QCOMPARE(rig.f.L_Printer.caption(), QStringLiteral("Anderer"));
}

void PrintingTest::pdfWithoutSystemPrinter() {
    TestRig rig;
    QTemporaryDir folder;
    QString firstPdf;
    {
        QtPrintLayer layer(folder.path(), false);
        Platform().printer = &layer;
        QCOMPARE(layer.printerName(), QStringLiteral("Morse-Ausdruck.pdf"));
        rig.s.SentText = QStringLiteral("ABCDE FGHIJ");
        rig.f.Command3D4.click();
        rig.s.SentText = QStringLiteral("KLMNO PQRST");
        rig.f.Command3D4.click();
        rig.f.Command3D7.click();
        firstPdf = layer.lastPdfFile();
        QCOMPARE(QFileInfo(firstPdf).fileName(), QStringLiteral("Morse-Ausdruck.pdf"));
        // The next printout does not overwrite the first one; L_Printer names where it goes.
        QCOMPARE(rig.f.L_Printer.caption(), QStringLiteral("Morse-Ausdruck-2.pdf"));
        rig.s.SentText = QStringLiteral("UVWXY");
        rig.f.Command3D4.click();
        Platform().printer = &rig.printer;
    }  // the end of the program finishes the open job
    QVERIFY(QFileInfo::exists(folder.filePath(QStringLiteral("Morse-Ausdruck-2.pdf"))));
    QVERIFY(rig.dialogs.messages.isEmpty());

    const QString text = pdfText(firstPdf);
    if (text.isNull()) QSKIP("pdftotext (poppler-utils) is not installed");
    QVERIFY2(text.contains(QStringLiteral("ABCDE FGHIJ")), qPrintable(text));
    QVERIFY(text.contains(QStringLiteral("KLMNO PQRST")));
    QCOMPARE(text.count(dashes(68)), 3);
    QVERIFY(pdfText(folder.filePath(QStringLiteral("Morse-Ausdruck-2.pdf")))
                .contains(QStringLiteral("UVWXY")));
}

void PrintingTest::pdfInUnwritableFolderGivesMessage() {
    TestRig rig;
    QTemporaryDir folder;
    QtPrintLayer layer(folder.filePath(QStringLiteral("fehlt/auch")), false);
    Platform().printer = &layer;
    rig.s.SentText = kGroups70;
    rig.f.Command3D4.click();
    rig.f.Command3D7.click();
    QCOMPARE(rig.dialogs.messages.size(), 2);
    QVERIFY(rig.dialogs.messages[0].contains(QStringLiteral("Morse-Ausdruck.pdf")));
    QVERIFY(rig.dialogs.messages[0].contains(QStringLiteral("kein Drucker")));
    QCOMPARE(rig.surface.mousePointer, MousePointer::Default);
    Platform().printer = &rig.printer;
}

REGISTER_TEST(PrintingTest);
#include "printing_test.moc"
