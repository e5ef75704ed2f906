#pragma once
// A drop-down pick list: the user can only choose one of its items. Choosing an
// item, by the user or by the program through setText, raises `clicked`.
#include <QComboBox>

namespace corvane {

class PickList : public QComboBox {
    Q_OBJECT
public:
    explicit PickList(QWidget* parent = nullptr, bool sorted = false);

    // The selected item's text; empty when nothing is selected. Read several
    // times a cycle, so it is kept as the list reports it changing rather than
    // looked up in the list's model each time.
    QString text() const { return text_; }
    // Selects the item with exactly this text and raises `clicked`, also when it
    // was selected already. A text that is not an item throws the invalid-value Fault.
    void setText(const QString& text);
    // Adds an item; a sorted list keeps its items in alphabetical order.
    void addText(const QString& text);
    QStringList items() const;

signals:
    void clicked();

protected:
    void wheelEvent(QWheelEvent* event) override;

private:
    bool sorted_;
    QString text_;
    // The items, as setText compares them: the link's search sets a text ten
    // times a second, and asking the list's model for each item costs more
    // than the comparison. Taken again after any change of the items.
    QStringList items_;
    bool itemsKnown_ = false;
};

} // namespace corvane
