#pragma once

#include <QString>

class QMainWindow;
class RecordWriter;

// Adds "Rufzeichen-Wettbewerb ..." under "Gruppen ...": the contest window, made on first use.
// Its attempts go to `writer` (nothing is recorded when it is null) and its best list is read
// from the record at `path`.
void AddContestEntry(QMainWindow& window, RecordWriter* writer, const QString& path);
