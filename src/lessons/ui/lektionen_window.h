#pragma once

#include "lessons/lektionen.h"
#include "platform/ui/form_window.h"

// The lessons dialog. Closing it by its frame acts like "Cancel".
class LektionenWindow : public FormWindow {
    Q_OBJECT
public:
    LektionenWindow(Lektionen& form, QWidget* parent);

protected:
    void frameClosed() override;

private:
    Lektionen& lektionen_;
};
