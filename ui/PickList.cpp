#include "ui/PickList.h"

#include "core/Fault.h"

#include <QAbstractItemModel>
#include <QWheelEvent>

namespace corvane {

PickList::PickList(QWidget* parent, bool sorted) : QComboBox(parent), sorted_(sorted)
{
    setEditable(false);
    // The wheel over a list that the user has not chosen to use scrolls past
    // it instead of switching its item (and, for the profile list, the profile).
    setFocusPolicy(Qt::StrongFocus);
    connect(this, &QComboBox::activated, this, &PickList::clicked);
    connect(this, &QComboBox::currentTextChanged, this, [this](const QString& text) { text_ = text; });
    const auto itemsChanged = [this] { itemsKnown_ = false; };
    QAbstractItemModel* listModel = model();
    connect(listModel, &QAbstractItemModel::rowsInserted, this, itemsChanged);
    connect(listModel, &QAbstractItemModel::rowsRemoved, this, itemsChanged);
    connect(listModel, &QAbstractItemModel::rowsMoved, this, itemsChanged);
    connect(listModel, &QAbstractItemModel::dataChanged, this, itemsChanged);
    connect(listModel, &QAbstractItemModel::layoutChanged, this, itemsChanged);
    connect(listModel, &QAbstractItemModel::modelReset, this, itemsChanged);
}

void PickList::wheelEvent(QWheelEvent* event)
{
    if (hasFocus())
        QComboBox::wheelEvent(event);
    else
        event->ignore();
}

void PickList::setText(const QString& text)
{
    if (!itemsKnown_) {
        items_ = items();
        itemsKnown_ = true;
    }
    const qsizetype index = items_.indexOf(text);
    if (index < 0)
        throw Fault{kFaultInvalidValue,
                    QStringLiteral("Invalid property value: \"%1\" is not an entry of %2").arg(text, objectName())};
    setCurrentIndex(int(index));
    emit clicked();
}

void PickList::addText(const QString& text)
{
    // Adding never selects: a list with no selection keeps none.
    const bool noSelection = currentIndex() < 0;
    int at = count();
    if (sorted_) {
        at = 0;
        while (at < count()) {
            const QString other = itemText(at);
            const int c = QString::compare(text, other, Qt::CaseInsensitive);
            if (c < 0 || (c == 0 && text < other))
                break;
            ++at;
        }
    }
    insertItem(at, text);
    if (noSelection)
        setCurrentIndex(-1);
}

QStringList PickList::items() const
{
    QStringList out;
    for (int i = 0; i < count(); ++i)
        out.append(itemText(i));
    return out;
}

} // namespace corvane
