#include "platform/WindowKeyState.h"

#include <QCoreApplication>
#include <QKeyEvent>

namespace corvane::platform {

WindowKeyState::WindowKeyState(KeyPlaces places) : places_(std::move(places))
{
    if (QCoreApplication* app = QCoreApplication::instance())
        app->installEventFilter(this);
}

bool WindowKeyState::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type == QEvent::WindowDeactivate) {
        // The program's windows hear no more releases, not even when the focus
        // moves to another of them: the keys go up now.
        down_.reset();
    } else if (type == QEvent::KeyPress || type == QEvent::KeyRelease) {
        // An event goes to the window, then to its focus widget and maybe up
        // to that widget's parents: each time it is the same key, set or
        // cleared again.
        const auto* key = static_cast<const QKeyEvent*>(event);
        const quint32 scanCode = key->nativeScanCode();
        if (!key->isAutoRepeat() && scanCode > 8 && scanCode - 8 < KEY_CNT) {
            const std::size_t kernelKey = scanCode - 8;
            down_.set(kernelKey, type == QEvent::KeyPress);
            if (type == QEvent::KeyPress)
                pressed_.set(kernelKey);
        }
    }
    return QObject::eventFilter(watched, event);
}

void WindowKeyState::snapshot()
{
    snapshot_ = places_.virtualKeysFor(down_ | pressed_);
    pressed_.reset();
}

bool WindowKeyState::isDown(int virtualKey) const
{
    return virtualKey >= 0 && virtualKey < 256 && snapshot_[static_cast<std::size_t>(virtualKey)];
}

} // namespace corvane::platform
