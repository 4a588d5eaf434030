#pragma once

#include <QString>

class RecordStore;

// Writes the whole record of `learner` to `path` as CSV the way German spreadsheets read it:
// UTF-8 with a byte-order mark, semicolons, decimal commas, one line per answer, run and
// checked character. The file is replaced atomically. Returns an empty string on success,
// otherwise a German message.
QString ExportRecordCsv(RecordStore& store, const QString& learner, const QString& path);
