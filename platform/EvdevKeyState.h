#pragma once
// The keyboard's state read from the kernel's event devices: every keyboard
// in /dev/input that this user may read, whatever window or session has the
// focus. The devices are only read, never grabbed: every program still gets
// every key, and no key is kept beyond the next snapshot or written anywhere.
//
// Keyboards that come and go are followed through inotify on the folder, at
// the event-processing points; one that goes away while it is read (ENODEV)
// is dropped, and the rest keep working.
#include "platform/KeyPlaces.h"
#include "platform/KeyState.h"

#include <QString>

#include <bitset>
#include <linux/input-event-codes.h>
#include <memory>
#include <vector>

class QSocketNotifier;
struct libevdev;

namespace corvane::platform {

class EvdevKeyState final : public KeyState {
public:
    // Opens the keyboards of the folder (normally /dev/input).
    explicit EvdevKeyState(const QString& folder = QStringLiteral("/dev/input"));
    ~EvdevKeyState() override;
    EvdevKeyState(const EvdevKeyState&) = delete;
    EvdevKeyState& operator=(const EvdevKeyState&) = delete;

    void snapshot() override;
    bool isDown(int virtualKey) const override;
    // Which codes the keys are on the user's layout (the US one until told).
    void setPlaces(KeyPlaces places) { places_ = std::move(places); }

    int keyboardsOpen() const { return static_cast<int>(keyboards_.size()); }
    // Why no keyboard can be read, when none can: empty otherwise.
    QString whyNone() const;

private:
    struct Keyboard {
        QString path;
        int fd = -1;
        libevdev* device = nullptr;
        std::bitset<KEY_CNT> down;
        std::bitset<KEY_CNT> pressed;
    };
    // Opens the device when it is a keyboard that can be read and is not open yet.
    void open(const QString& name);
    void close(std::size_t index);
    void closeNamed(const QString& name);
    void followChanges();
    // Reads what the device has; false when it has gone.
    bool read(Keyboard& keyboard);

    QString folder_;
    std::vector<Keyboard> keyboards_;
    int refused_ = 0; // event devices that could not be opened
    QString refusal_; // the first refusal's reason
    int watch_ = -1;  // inotify descriptor
    QSocketNotifier* notifier_ = nullptr;
    VirtualKeySet snapshot_;
    KeyPlaces places_;
};

// Counts the keyboards the folder holds and this user may read, without
// keeping them open; `whyNot` says why none can when the count is 0.
int countReadableKeyboards(const QString& folder, QString* whyNot);

} // namespace corvane::platform
