#pragma once

#include <QString>

class QMainWindow;
class RecordWriter;

// Adds the course to the main window: a menu "Kurs" with "Heute üben" (Ctrl+H), which sets up
// and starts today's round of the learner's lesson and opens the copy check after it, and
// "Kurs und Lektion ...", the course page of "Lernstand". A check of the round counts for the
// course; moving on is told and the new characters played. Needs the record's entries
// (AddRecordEntries) in place; without a record (`writer` null) the course says so.
void AddCourseEntries(QMainWindow& window, RecordWriter* writer, const QString& path);

// Starts today's round as "Heute üben" does, for tests and the menu alike.
void PracticeToday(QMainWindow& window);
