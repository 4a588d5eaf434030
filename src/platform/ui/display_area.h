#pragma once

#include <QWidget>
#include <algorithm>

#include "platform/ui/focus_frame_widget.h"

class WidgetSurface;

// The display area as assistive technology sees it: a read-only multi-line text ("Textanzeige")
// that holds what the display shows, in reading order. Every print sends a text-inserted
// event (a screen reader can echo each character as it is sent), every repaint a
// text-removed event; where a colour carries meaning, the description says so. The painting
// itself stays with the window's text layer under this widget.
class DisplayArea : public FocusFrameWidget {
    Q_OBJECT
public:
    DisplayArea(WidgetSurface& surface, QWidget* parent);
    ~DisplayArea() override;

    // The text as last announced, which is what the display shows.
    const QString& shownText() const { return shown_; }
    const QString& marks() const { return marks_; }
    int caret() const { return caret_; }
    void setCaret(int position) { caret_ = std::clamp(position, 0, int(shown_.size())); }

private:
    void surfaceChanged();

    WidgetSurface& surface_;
    QString shown_;
    QString marks_;
    int caret_ = 0;
};
