#include "ui/PickList.h"

#include "core/Fault.h"

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
    // The items compared one by one: the model's general search costs more
    // than the few items of a pick list, and the link's search sets a text
    // ten times a second.
    int index = 0;
    while (index < count() && itemText(index) != text)
        ++index;
    if (index == count())
        throw Fault{kFaultInvalidValue,
                    QStringLiteral("Invalid property value: \"%1\" is not an entry of %2").arg(text, objectName())};
    setCurrentIndex(index);
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
