#pragma once

#include <QStringList>
#include <vector>

#include "platform/controls.h"

// A list box: items, which of them are selected, and the current item (ListIndex, -1 for none).
// In a multi-select list a click toggles an item; in a single-select list the current item is
// the selected one.
class ListBox : public Control {
    Q_OBJECT
public:
    ListBox(const char* name, bool multiSelect);

    bool multiSelect() const { return multiSelect_; }
    int ListCount() const { return static_cast<int>(items_.size()); }
    const QString& List(int index) const { return items_.at(index); }
    void setList(int index, const QString& text);
    void AddItem(const QString& text);
    void RemoveItem(int index);
    void Clear();
    QStringList items() const;

    bool Selected(int index) const { return selected_.at(index); }
    void setSelected(int index, bool on);
    int ListIndex() const { return listIndex_; }
    void setListIndex(int index);

    // A user's click on an item: selects it (or toggles it in a multi-select list), makes it
    // the current item and runs onClick.
    void clickItem(int index);
    // The selection a widget reports after the user changed it; runs onClick.
    void userSelect(const std::vector<bool>& selected, int current);
    std::function<void()> onClick;

private:
    bool valid(int index) const { return index >= 0 && index < ListCount(); }

    bool multiSelect_;
    std::vector<QString> items_;
    std::vector<bool> selected_;
    int listIndex_ = -1;
};
