// The layers of the program, from the top down. A file may include what lies in its own room
// or in a lower row; an include that points up, or sideways into another room of the same
// row, fails with its file and line.
//
//   app, tools            the two programs
//   mainwindow            the main window and the composition of every window
//   drills, lessons, dialogs, */ui   the windows (each X/ui is room X, at this row)
//   export                exercises recorded into sound files
//   sending               sending practice: keys, keyers, the decoder of the learner's fist
//   exercises             the kinds of exercise
//   record                the learner's record
//   engine                sending characters, timing, the run frame
//   sound                 renderer, outputs, band conditions, sound files, the device
//   state                 the one shared state record
//   platform              clocks, files, random numbers, control models, print layers; its
//                         ui/ holds the widgets every window is built from
//
// The README's word on the layout shows the same table.
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include "support/registry.h"

namespace {
const std::vector<QStringList> kRows = {
    {QStringLiteral("app"), QStringLiteral("tools")},
    {QStringLiteral("mainwindow")},
    {QStringLiteral("drills"), QStringLiteral("lessons"), QStringLiteral("dialogs"),
     QStringLiteral("*/ui")},
    {QStringLiteral("export")},
    {QStringLiteral("sending")},
    {QStringLiteral("exercises")},
    {QStringLiteral("record")},
    {QStringLiteral("engine")},
    {QStringLiteral("sound")},
    {QStringLiteral("state")},
    {QStringLiteral("platform")},
};

struct Place {
    int row = -1;  // index into kRows; -1 when the table does not know the folder
    QString room;
};

// Where a path of the tree (relative to the project root: "src/sound/ui/band_dialog.h") lies.
Place PlaceOf(const QString& path) {
    QStringList parts = path.split(u'/');
    if (parts.value(0) == QStringLiteral("src")) parts.removeFirst();
    if (parts.size() < 2) return {};
    const QString room = parts[0];
    // The mainwindow's and the platform's ui/ stay in their rows; every other ui/ is a window.
    const bool window = parts[1] == QStringLiteral("ui") && room != QStringLiteral("mainwindow") &&
                        room != QStringLiteral("platform");
    const QString name = window ? QStringLiteral("*/ui") : room;
    for (size_t row = 0; row < kRows.size(); ++row) {
        if (kRows[row].contains(name)) return {static_cast<int>(row), room};
    }
    return {};
}

struct Violation {
    QString where;  // file:line
    QString what;
};

// Every include of the files below `folders` that breaks the table.
std::vector<Violation> CheckIncludes(const QString& root, const QStringList& folders) {
    static const QRegularExpression include(QStringLiteral("^\\s*#\\s*include\\s*\"([^\"]+)\""));
    std::vector<Violation> found;
    for (const QString& folder : folders) {
        QDirIterator it(root + u'/' + folder, {QStringLiteral("*.cpp"), QStringLiteral("*.h")},
                        QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString file = it.next();
            const QString relative = QDir(root).relativeFilePath(file);
            const Place from = PlaceOf(relative);
            QFile f(file);
            if (!f.open(QIODevice::ReadOnly)) {
                found.push_back({relative, QStringLiteral("cannot be read")});
                continue;
            }
            if (from.row < 0) {
                found.push_back({relative, QStringLiteral("lies in a folder the table lacks")});
                continue;
            }
            int lineNumber = 0;
            while (!f.atEnd()) {
                const QString line = QString::fromUtf8(f.readLine());
                ++lineNumber;
                const auto match = include.match(line);
                if (!match.hasMatch()) continue;
                const QString target = match.captured(1);
                // A file beside the includer (morse2wav's own headers) is its own room.
                if (QFileInfo::exists(QFileInfo(file).dir().filePath(target))) continue;
                const Place to = PlaceOf(QStringLiteral("src/") + target);
                const QString where = QStringLiteral("%1:%2").arg(relative).arg(lineNumber);
                if (to.row < 0) {
                    found.push_back({where, target + QStringLiteral(": not in the table")});
                } else if (to.row < from.row) {
                    found.push_back({where, target + QStringLiteral(" points up")});
                } else if (to.row == from.row && to.room != from.room) {
                    found.push_back({where, target + QStringLiteral(" points sideways")});
                }
            }
        }
    }
    return found;
}

QString Describe(const std::vector<Violation>& violations) {
    QStringList lines;
    for (const Violation& v : violations) lines << v.where + QStringLiteral(": ") + v.what;
    return lines.join(u'\n');
}
}  // namespace

class IncludeLayersTest : public QObject {
    Q_OBJECT
private slots:
    void placesFollowTheTable() {
        QCOMPARE(PlaceOf(QStringLiteral("src/sound/ui/band_dialog.h")).row, 2);
        QCOMPARE(PlaceOf(QStringLiteral("src/sound/ui/band_dialog.h")).room,
                 QStringLiteral("sound"));
        QCOMPARE(PlaceOf(QStringLiteral("src/sending/fist_decoder.h")).row, 4);
        QCOMPARE(PlaceOf(QStringLiteral("src/sound/band/band_mixer.h")).row, 8);
        QCOMPARE(PlaceOf(QStringLiteral("src/platform/ui/spin_button.h")).row, 10);
        QCOMPARE(PlaceOf(QStringLiteral("src/mainwindow/ui/main_window.h")).row, 1);
        QCOMPARE(PlaceOf(QStringLiteral("tools/morse2wav/main.cpp")).row, 0);
        QCOMPARE(PlaceOf(QStringLiteral("src/nowhere/x.h")).row, -1);
    }

    // A planted include of each kind is found, with its file and line.
    void findsUpwardAndSidewaysIncludes() {
        QTemporaryDir root;
        QVERIFY(root.isValid());
        const auto plant = [&](const QString& path, const QByteArray& text) {
            QVERIFY(QDir(root.path()).mkpath(QFileInfo(path).path()));
            QFile f(root.filePath(path));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(text);
        };
        plant(QStringLiteral("src/engine/a.cpp"),
              "#include \"engine/a.h\"\n#include \"platform/clock.h\"\n"
              "#include \"mainwindow/run_control.h\"\n");
        plant(QStringLiteral("src/lessons/ui/w.h"), "#include \"dialogs/ui/form.h\"\n");
        plant(QStringLiteral("src/record/ui/r.h"), "#include \"record/record_store.h\"\n");
        plant(QStringLiteral("src/newroom/n.h"), "\n");
        const auto found = CheckIncludes(root.path(), {QStringLiteral("src")});
        const QString text = Describe(found);
        QCOMPARE(found.size(), size_t(3));
        QVERIFY2(text.contains(QStringLiteral("src/engine/a.cpp:3: mainwindow/run_control.h "
                                              "points up")),
                 qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("src/lessons/ui/w.h:1: dialogs/ui/form.h points "
                                              "sideways")),
                 qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("src/newroom/n.h")), qPrintable(text));
    }

    void everyIncludeOfTheTreePointsDown() {
        const QString root = qEnvironmentVariable("TRAINER_SOURCE_DIR");
        QVERIFY(QFileInfo::exists(root + QStringLiteral("/src/CMakeLists.txt")));
        const auto found = CheckIncludes(
            root, {QStringLiteral("src"), QStringLiteral("app"), QStringLiteral("tools")});
        QVERIFY2(found.empty(), qPrintable(QStringLiteral("\n") + Describe(found)));
    }
};

REGISTER_TEST(IncludeLayersTest);
#include "include_layers_test.moc"
