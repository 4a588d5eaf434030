#pragma once

#include <QString>
#include <memory>

class QFileDialog;
class QWidget;

// The dialog that chooses a file to open. A filter whose pattern is "*." means, as on the
// system the program's filter strings come from, the files without an extension; Qt alone would
// take it literally and list only names ending in a dot, which Linux hardly ever has. The dialog
// is Qt's own (not the desktop's), because only that one takes a filtering model.
std::unique_ptr<QFileDialog> MakeOpenFileDialog(QWidget* parent, const QString& title,
                                                const QString& folder, const QString& filter);
