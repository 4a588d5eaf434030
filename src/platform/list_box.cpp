#include "platform/list_box.h"

ListBox::ListBox(const char* name, bool multiSelect) : Control(name), multiSelect_(multiSelect) {}

void ListBox::setList(int index, const QString& text) {
    if (!valid(index) || items_[index] == text) return;
    items_[index] = text;
    emit changed();
}

void ListBox::AddItem(const QString& text) {
    items_.push_back(text);
    selected_.push_back(false);
    emit changed();
}

void ListBox::RemoveItem(int index) {
    if (!valid(index)) return;
    items_.erase(items_.begin() + index);
    selected_.erase(selected_.begin() + index);
    if (listIndex_ == index)
        listIndex_ = -1;
    else if (listIndex_ > index)
        --listIndex_;
    emit changed();
}

void ListBox::Clear() {
    items_.clear();
    selected_.clear();
    listIndex_ = -1;
    emit changed();
}

QStringList ListBox::items() const { return QStringList(items_.begin(), items_.end()); }

void ListBox::setSelected(int index, bool on) {
    if (!valid(index)) return;
    if (!multiSelect_) {
        selected_.assign(selected_.size(), false);
        listIndex_ = on ? index : (listIndex_ == index ? -1 : listIndex_);
    }
    selected_[index] = on;
    emit changed();
}

void ListBox::setListIndex(int index) {
    if (!valid(index)) index = -1;
    if (multiSelect_) {
        listIndex_ = index;
        emit changed();
    } else if (index < 0) {
        selected_.assign(selected_.size(), false);
        listIndex_ = -1;
        emit changed();
    } else {
        setSelected(index, true);
    }
}

void ListBox::clickItem(int index) {
    if (!valid(index)) return;
    if (multiSelect_) {
        selected_[index] = !selected_[index];
        listIndex_ = index;
        emit changed();
    } else {
        setSelected(index, true);
    }
    if (onClick) onClick();
}

void ListBox::userSelect(const std::vector<bool>& selected, int current) {
    if (selected.size() != selected_.size()) return;
    selected_ = selected;
    listIndex_ = valid(current) ? current : -1;
    if (!multiSelect_) {
        if (listIndex_ >= 0 && !selected_[listIndex_]) listIndex_ = -1;
        for (int i = 0; i < ListCount() && listIndex_ < 0; ++i) {
            if (selected_[i]) listIndex_ = i;
        }
        selected_.assign(selected_.size(), false);
        if (listIndex_ >= 0) selected_[listIndex_] = true;
    }
    emit changed();
    if (onClick) onClick();
}
