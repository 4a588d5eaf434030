#pragma once

#include <QPixmap>
#include <QSize>
#include <QString>

// The pictures of the main window, drawn rather than loaded: "vvv", "start", "pause",
// "weiter", "stop", "loeschen", "ende", "lautstaerke", "schreibmaschine", "frage", "hoeren",
// "morsezeile" (the strip in the top row), "tastenfeld" (the keyboard box) and "tonwerk".
// An unknown name gives an empty (transparent) picture.
QPixmap DrawPicture(const QString& name, QSize size, qreal devicePixelRatio = 1.0);
