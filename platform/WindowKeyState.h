#pragma once
// The keys typed into this program's own windows, for when nothing else can
// tell the keyboard's state: no keyboard event device can be read and the
// window is not on an X display (a Wayland desktop without the input group).
// The recorder then still works while Corvane has the focus.
//
// Every key press and release that reaches a window of the program is watched
// on its way, never taken: the widgets get every key as before. A key is known
// by its place, the native scan code (the kernel's key code plus 8, on X and
// Wayland alike), and counts as the codes KeyPlaces gives it on the user's
// layout, as a key read from the kernel's devices would. Repeats of a held key
// are not new presses. When one of the program's windows loses the keyboard
// focus, its keys' releases may go elsewhere, so the keys held are let go
// then: none sticks.
#include "platform/KeyPlaces.h"
#include "platform/KeyState.h"

#include <QObject>

namespace corvane::platform {

class WindowKeyState final : public QObject, public KeyState {
    Q_OBJECT
public:
    // Watches the application's events from now on (none without an application).
    explicit WindowKeyState(KeyPlaces places);

    void snapshot() override;
    bool isDown(int virtualKey) const override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    KeyPlaces places_;
    // By kernel key: down now, and pressed since the last snapshot.
    KernelKeySet down_;
    KernelKeySet pressed_;
    VirtualKeySet snapshot_;
};

} // namespace corvane::platform
