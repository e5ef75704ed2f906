#pragma once
// Pointer motion, mouse buttons and keys through the kernel's uinput device:
// a virtual mouse and a virtual keyboard that every session, compositor and
// game reads like real ones.
//
// The encoding is the kernel's: a move is one frame of REL_X and REL_Y ending
// in SYN_REPORT, and each key or button event is a frame of its own, in the
// order asked for. A key goes by its physical place (KeyPlaces.h). The events
// go to an InputDevice, the real one or a recording fake.
#include "platform/JoystickOutput.h"
#include "platform/KeyOutput.h"
#include "platform/KeyPlaces.h"
#include "platform/PointerOutput.h"

#include <QString>

#include <bitset>
#include <functional>
#include <memory>
#include <optional>
#include <set>

namespace corvane::platform {

// One input device that events are written to.
class InputDevice {
public:
    virtual ~InputDevice() = default;
    // One event (EV_REL, EV_KEY, EV_SYN ...). Returns 0, or a negative errno
    // when the kernel refused it.
    virtual int write(unsigned type, unsigned code, int value) = 0;
};

// The kernel keys and the Shift and AltGr that type a character in the
// user's keyboard layout (XkbLayout.h); a fake in the tests.
struct Stroke {
    int key = 0;
    bool shift = false;
    bool altGr = false;
};
class CharacterKeys {
public:
    virtual ~CharacterKeys() = default;
    virtual std::optional<Stroke> strokeFor(char32_t character) const = 0;
};

// The two virtual devices, made with libevdev: "Corvane virtual pointer"
// (REL_X, REL_Y and the three buttons) and "Corvane virtual keyboard" (every
// key a virtual-key code names), on the virtual bus, vendor 0x4356 ("CV"),
// products 1 and 2, so that udev classifies them as a mouse and a keyboard.
// Destroying a device makes the kernel release whatever it still holds.
struct UinputDevices {
    std::shared_ptr<InputDevice> pointer;
    std::shared_ptr<InputDevice> keyboard;
};
// Null devices and the reason ("/dev/uinput cannot be opened for writing
// (Permission denied)") when they cannot be made.
UinputDevices createUinputDevices(QString* whyNot);
// Whether /dev/uinput opens for writing, without making a device: empty when
// it does, else why not.
QString probeUinput();

// The joystick "Corvane head": absolute axes X, Y and Z (turn, pitch and
// lean) from -32767 to 32767 and four buttons, on the virtual bus, vendor
// 0x4356, product 3, so that udev and SDL take it for a joystick.
inline constexpr char kJoystickName[] = "Corvane head";
// The device, or null and the reason.
std::shared_ptr<InputDevice> makeJoystickDevice(QString* whyNot);

// The joystick, made when it is first opened; a move is one frame of the
// axes that changed, ending in SYN_REPORT.
class UinputJoystick final : public JoystickOutput {
public:
    using DeviceMaker = std::function<std::shared_ptr<InputDevice>(QString* whyNot)>;
    explicit UinputJoystick(DeviceMaker make = &makeJoystickDevice) : make_(std::move(make)) {}
    ~UinputJoystick() override { close(); }
    UinputJoystick(const UinputJoystick&) = delete;
    UinputJoystick& operator=(const UinputJoystick&) = delete;
    QString open() override;
    void move(const JoystickAxes& axes) override;
    void close() override;

private:
    DeviceMaker make_;
    std::shared_ptr<InputDevice> device_;
    JoystickAxes at_;
};

class UinputPointer final : public PointerOutput {
public:
    explicit UinputPointer(std::shared_ptr<InputDevice> device) : device_(std::move(device)) {}
    void moveRelative(int dx, int dy) override;

private:
    std::shared_ptr<InputDevice> device_;
};

class UinputKeyOutput final : public KeyOutput {
public:
    // `places` tells which key a code presses on the user's layout.
    UinputKeyOutput(std::shared_ptr<InputDevice> keyboard, std::shared_ptr<InputDevice> pointer,
                    std::shared_ptr<const CharacterKeys> characters, KeyPlaces places = {});
    ~UinputKeyOutput() override;
    void keyDown(int virtualKey) override;
    void keyUp(int virtualKey) override;
    void buttonDown(MouseButton button) override;
    void buttonUp(MouseButton button) override;
    void typeCharacter(char32_t character) override;

private:
    // The kernel key of the code; 0, with one note per code, when it has none.
    int keyOf(int virtualKey);
    void key(int key, bool down);

    std::shared_ptr<InputDevice> keyboard_;
    std::shared_ptr<InputDevice> pointer_;
    std::shared_ptr<const CharacterKeys> characters_;
    KeyPlaces places_;
    std::bitset<1024> down_;
    std::bitset<3> buttonsDown_;
    std::set<int> unknownCodes_;
    std::set<char32_t> untypable_;
};

} // namespace corvane::platform
