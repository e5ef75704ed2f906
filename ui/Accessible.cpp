#include "ui/Accessible.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QComboBox>

namespace corvane {

namespace {

// The off-window button that takes the keyboard focus when another control
// must lose it: a button to the program, nothing to the user.
bool hiddenFromReaders(const QObject* object) { return object->objectName() == QLatin1String("Dummy_Command"); }

// A pick list: its name is its label (Qt's own names a list by its current
// item), and the item chosen is its value and its read-only text, which is
// what the accessibility bus passes on. Its one child is the drop-down list,
// which a reader opens with the ShowMenu or Press action, as in Qt's own.
class AccessiblePickList : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit AccessiblePickList(QWidget* w) : QAccessibleWidget(w, QAccessible::ComboBox) {}

    void* interface_cast(QAccessible::InterfaceType t) override
    {
        return t == QAccessible::TextInterface ? static_cast<QAccessibleTextInterface*>(this)
                                               : QAccessibleWidget::interface_cast(t);
    }
    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Value ? chosen() : QAccessibleWidget::text(t);
    }

    int childCount() const override { return 1; }
    QAccessibleInterface* child(int index) const override
    {
        return index == 0 ? QAccessible::queryAccessibleInterface(list()->view()) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        return child && child->object() == list()->view() ? 0 : -1;
    }

    QStringList actionNames() const override
    {
        return QStringList{showMenuAction(), pressAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& action) override
    {
        if (action == showMenuAction() || action == pressAction())
            list()->showPopup();
        else
            QAccessibleWidget::doAction(action);
    }

    // The text: the item chosen, read-only, with neither cursor nor selection.
    QString text(int start, int end) const override { return chosen().mid(start, end - start); }
    int characterCount() const override { return static_cast<int>(chosen().size()); }
    void selection(int, int* start, int* end) const override { *start = *end = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int offset, int* start, int* end) const override
    {
        *start = *end = offset;
        return {};
    }

private:
    QComboBox* list() const { return static_cast<QComboBox*>(widget()); }
    QString chosen() const { return list()->currentText(); }
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
