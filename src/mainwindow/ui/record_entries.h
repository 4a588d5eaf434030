#pragma once

#include <QString>
#include <memory>

class QMainWindow;
class RecordWriter;

// Opens the learner's record at `path` for writing, moving a damaged file aside. Returns null
// when it cannot be used; `message` then, or after a repair, holds what to tell the user once.
std::unique_ptr<RecordWriter> OpenLearnerRecord(const QString& path, QString& message);

// Adds the record to the main window: "Schwächen üben" under "Gruppen ...", and a menu
// "Auswertung" with "Mitschrift ..." (F12) and "Lernstand ...". `writer` may be null (nothing
// is recorded then); `message` is shown once after start-up when it is not empty.
void AddRecordEntries(QMainWindow& window, RecordWriter* writer, const QString& path,
                      const QString& message);
