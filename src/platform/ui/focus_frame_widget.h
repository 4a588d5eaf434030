#pragma once

#include <QWidget>

// A control drawn by the program that shows the keyboard focus as a frame in the highlight
// colour, plain to see at any zoom, `inset` pixels inside its edge.
class FocusFrameWidget : public QWidget {
public:
    FocusFrameWidget(int inset, QWidget* parent) : QWidget(parent), inset_(inset) {}

protected:
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    int inset_;
};
