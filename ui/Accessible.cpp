#include "ui/Accessible.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QComboBox>

namespace corvane {

namespace {

// The off-window button that takes the keyboard focus when another control
// must lose it: a button to the program, nothing to the user.
bool hiddenFromReaders(const QObject* object) { return object->objectName() == QLatin1String("Dummy_Command"); }

// A pick list: its name is its label (Qt's own names a list by its current
// item), its value the item chosen.
class AccessiblePickList : public QAccessibleWidget {
public:
    explicit AccessiblePickList(QWidget* w) : QAccessibleWidget(w, QAccessible::ComboBox) {}

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value)
            return static_cast<const QComboBox*>(widget())->currentText();
        return QAccessibleWidget::text(t);
    }
};

// The main window, whose children leave out what readers must not see.
class AccessibleMainWindow : public QAccessibleWidget {
public:
    explicit AccessibleMainWindow(QWidget* w) : QAccessibleWidget(w, QAccessible::Window) {}

    int childCount() const override { return static_cast<int>(children().size()); }
    QAccessibleInterface* child(int index) const override
    {
        const QList<QWidget*> shown = children();
        return index >= 0 && index < shown.size() ? QAccessible::queryAccessibleInterface(shown[index]) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        return child ? static_cast<int>(children().indexOf(qobject_cast<QWidget*>(child->object()))) : -1;
    }

private:
    QList<QWidget*> children() const
    {
        QList<QWidget*> shown;
        for (QObject* o : widget()->children())
            if (auto* w = qobject_cast<QWidget*>(o); w && !w->isWindow() && !hiddenFromReaders(w))
                shown.append(w);
        return shown;
    }
};

QAccessibleInterface* makeInterface(const QString& className, QObject* object)
{
    auto* w = qobject_cast<QWidget*>(object);
    if (!w)
        return nullptr;
    if (className == QLatin1String("corvane::PickList"))
        return new AccessiblePickList(w);
    if (className == QLatin1String("corvane::MainForm"))
        return new AccessibleMainWindow(w);
    return nullptr;
}

} // namespace

void installAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(&makeInterface);
        return true;
    }();
    (void)installed;
}

} // namespace corvane
