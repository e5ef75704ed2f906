#pragma once
// A drop-down pick list: the user can only choose one of its items. Choosing an
// item, by the user or by the program through setText, raises `clicked`.
//
// Each item has its stored text, which the program and the profile files use,
// and the text shown. A list of the program's own choices shows them
// translated (in the context of core/Choices.h) and keeps the stored text as
// the item's data; a list of the user's names (the profiles) shows them as
// they are. text(), setText(), addText() and items() work on stored texts.
#include <QComboBox>

namespace corvane {

class PickList : public QComboBox {
    Q_OBJECT
public:
    // A sorted list holds the user's names and shows them as they are; an
    // unsorted one holds the program's choices and shows them translated.
    explicit PickList(QWidget* parent = nullptr, bool sorted = false);

    // The selected item's stored text; empty when nothing is selected. Read several
    // times a cycle, so it is kept as the list reports it changing rather than
    // looked up in the list's model each time.
    QString text() const { return text_; }
    // Selects the item with exactly this text and raises `clicked`, also when it
    // was selected already. A text that is not an item throws the invalid-value Fault.
    void setText(const QString& text);
    // Adds an item; a sorted list keeps its items in alphabetical order of
    // the texts shown.
    void addText(const QString& text);
    // The stored texts, in the list's order.
    QStringList items() const;
    // The stored text of the item at `index`.
    QString storedText(int index) const;

signals:
    void clicked();

protected:
    void wheelEvent(QWheelEvent* event) override;

private:
    QString shownText(const QString& stored) const;

    bool sorted_;
    bool translated_;
    QString text_;
    // The items, as setText compares them: the link's search sets a text ten
    // times a second, and asking the list's model for each item costs more
    // than the comparison. Taken again after any change of the items.
    QStringList items_;
    bool itemsKnown_ = false;
};

} // namespace corvane
