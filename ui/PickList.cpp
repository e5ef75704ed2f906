#include "ui/PickList.h"

#include "core/Choices.h"
#include "core/Fault.h"

#include <QAbstractItemModel>
#include <QCoreApplication>
#include <QWheelEvent>

namespace corvane {

PickList::PickList(QWidget* parent, bool sorted) : QComboBox(parent), sorted_(sorted), translated_(!sorted)
{
    setEditable(false);
    // The wheel over a list that the user has not chosen to use scrolls past
    // it instead of switching its item (and, for the profile list, the profile).
    setFocusPolicy(Qt::StrongFocus);
    connect(this, &QComboBox::activated, this, &PickList::clicked);
    // The shown text changes with the selection, and also when an item's
    // text is changed in place.
    const auto selectionChanged = [this] { text_ = storedText(currentIndex()); };
    connect(this, &QComboBox::currentIndexChanged, this, selectionChanged);
    connect(this, &QComboBox::currentTextChanged, this, selectionChanged);
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
                    tr("Invalid property value: \"%1\" is not an entry of %2").arg(text, objectName())};
    setCurrentIndex(int(index));
    emit clicked();
}

QString PickList::shownText(const QString& stored) const
{
    return translated_ ? QCoreApplication::translate(kChoicesContext, stored.toUtf8().constData()) : stored;
}

void PickList::addText(const QString& text)
{
    // Adding never selects: a list with no selection keeps none.
    const bool noSelection = currentIndex() < 0;
    const QString shown = shownText(text);
    int at = count();
    if (sorted_) {
        at = 0;
        while (at < count()) {
            const QString other = itemText(at);
            const int c = QString::compare(shown, other, Qt::CaseInsensitive);
            if (c < 0 || (c == 0 && shown < other))
                break;
            ++at;
        }
    }
    // The stored text goes in with the item, before the list selects it.
    insertItem(at, shown, translated_ ? QVariant(text) : QVariant());
    if (noSelection)
        setCurrentIndex(-1);
}

QString PickList::storedText(int index) const
{
    // A list of the user's names stores what it shows: an item renamed in
    // place is chosen by its new name.
    const QVariant stored = itemData(index, Qt::UserRole);
    return stored.isValid() ? stored.toString() : itemText(index);
}

QStringList PickList::items() const
{
    QStringList out;
    for (int i = 0; i < count(); ++i)
        out.append(storedText(i));
    return out;
}

} // namespace corvane
