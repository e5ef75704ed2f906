// The Qt boxes: over the owner window while there is one, Return on the
// default choice and Escape on the last.
#include "platform/QtDesktop.h"

#include <gtest/gtest.h>

#include "tests/support/QtTestApp.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTimer>

using namespace corvane::platform;

TEST(QtDialogs, OpenOverTheOwnerAndChooseWithReturnOrEscape)
{
    QtDialogs dialogs;
    QWidget window;
    QWidget* parent = nullptr;
    // Once the box is up: note its parent, then press the key. Returns what the call returns.
    const auto press = [&](int key, const auto& call) {
        QTimer::singleShot(0, [&, key] {
            QWidget* box = QApplication::activeModalWidget();
            parent = box->parentWidget();
            QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
            QApplication::sendEvent(box, &event);
        });
        return call();
    };
    // clang-format off
    const struct { QWidget* owner; int key; int choice; } cases[] = {
        {nullptr, Qt::Key_Return, 1}, {&window, Qt::Key_Escape, 2}, {&window, Qt::Key_Return, 0}};
    // clang-format on
    for (const auto& c : cases) {
        dialogs.setOwner(c.owner);
        EXPECT_EQ(press(c.key,
                        [&] {
                            return dialogs.choose("Text", "Title", {"A", "B", "C"}, c.choice % 2);
                        }),
                  c.choice);
        EXPECT_EQ(parent, c.owner);
    }
    EXPECT_EQ(press(Qt::Key_Escape, [&] { return dialogs.input("Prompt", "Title", "x"); }), QString());
    EXPECT_EQ(parent, &window);
    EXPECT_EQ(press(Qt::Key_Escape, [&] { return dialogs.message("Text", "Title", Buttons::OkCancel); }),
              Answer::Cancel);
    EXPECT_EQ(parent, &window);
}
