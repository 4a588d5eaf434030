#pragma once

#include <functional>

class QAccessibleEvent;

// The window's own accessibility events (a value read out anew, text printed on the display)
// go out through here. Qt passes them on only while assistive technology listens; a test,
// which runs without, installs a watcher to see what a screen reader would be told.
void SendAccessibilityEvent(QAccessibleEvent& event);

// Sees every event sent from now on; an empty function stops watching. Returns the previous
// watcher.
std::function<void(QAccessibleEvent&)> WatchAccessibilityEvents(
    std::function<void(QAccessibleEvent&)> watcher);
