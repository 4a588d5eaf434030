#pragma once

class QMainWindow;

// Adds "Als Audiodatei speichern ..." to the menu "Texte ...": a complete run of the current
// exercise goes into an audio file with its answer key beside it, with a progress dialog whose
// "Abbrechen" leaves no file behind.
void AddExportEntries(QMainWindow& window);
