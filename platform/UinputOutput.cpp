#include "platform/UinputOutput.h"

#include "platform/InputChoice.h"
#include "platform/KeyPlaces.h"

#include <QCoreApplication>

#include <libevdev/libevdev-uinput.h>
#include <libevdev/libevdev.h>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iterator>

namespace corvane::platform {

namespace {

// The texts of this file, translated in the context "corvane::platform::UinputOutput".
struct Texts {
    Q_DECLARE_TR_FUNCTIONS(corvane::platform::UinputOutput)
};

constexpr int kButtons[] = {BTN_LEFT, BTN_RIGHT, BTN_MIDDLE};

int buttonCode(MouseButton button) { return kButtons[static_cast<int>(button)]; }

QString cannotOpen(int error)
{
    QString why = Texts::tr("/dev/uinput cannot be opened for writing (%1)")
                      .arg(QString::fromLocal8Bit(std::strerror(error)));
    if (error == ENOENT)
        why += Texts::tr("; the uinput module is not loaded");
    return why;
}

// A device made through /dev/uinput; the kernel removes it when it is closed.
class Uinput final : public InputDevice {
public:
    explicit Uinput(libevdev_uinput* device) : device_(device) {}
    ~Uinput() override { libevdev_uinput_destroy(device_); }
    Uinput(const Uinput&) = delete;
    Uinput& operator=(const Uinput&) = delete;
    int write(unsigned type, unsigned code, int value) override
    {
        return libevdev_uinput_write_event(device_, type, code, value);
    }

private:
    libevdev_uinput* device_;
};

enum class Kind { Pointer = 1, Keyboard = 2, Joystick = 3 };

// The joystick's axes in the order of JoystickAxes, and the buttons that make
// udev call it a joystick: its input_id wants two or more of the joystick
// range (axes X, Y and Z alone count for nothing), and joydev then gives it a
// /dev/input/js* node as well. The buttons are never pressed.
constexpr unsigned kJoystickAxes[] = {ABS_X, ABS_Y, ABS_Z};
constexpr unsigned kJoystickButtons[] = {BTN_TRIGGER, BTN_THUMB, BTN_THUMB2, BTN_TOP};

// The product id is the kind's number.
std::shared_ptr<InputDevice> makeDevice(const char* name, Kind kind, int* error)
{
    libevdev* description = libevdev_new();
    libevdev_set_name(description, name);
    libevdev_set_id_bustype(description, BUS_VIRTUAL);
    libevdev_set_id_vendor(description, 0x4356);
    libevdev_set_id_product(description, static_cast<int>(kind));
    libevdev_set_id_version(description, 1);
    switch (kind) {
    case Kind::Pointer:
        libevdev_enable_event_code(description, EV_REL, REL_X, nullptr);
        libevdev_enable_event_code(description, EV_REL, REL_Y, nullptr);
        for (int button : kButtons)
            libevdev_enable_event_code(description, EV_KEY, button, nullptr);
        break;
    case Kind::Keyboard:
        for (int key : namedKernelKeys())
            libevdev_enable_event_code(description, EV_KEY, key, nullptr);
        break;
    case Kind::Joystick: {
        // No fuzz and no flat: smoothing and speed are Corvane's, and a dead
        // zone is the game's to choose. The axes have no physical unit.
        const input_absinfo axis{
            .value = 0, .minimum = -kAxisRange, .maximum = kAxisRange, .fuzz = 0, .flat = 0, .resolution = 0};
        for (unsigned code : kJoystickAxes)
            libevdev_enable_event_code(description, EV_ABS, code, &axis);
        for (unsigned button : kJoystickButtons)
            libevdev_enable_event_code(description, EV_KEY, button, nullptr);
        break;
    }
    }
    libevdev_uinput* device = nullptr;
    const int rc = libevdev_uinput_create_from_device(description, LIBEVDEV_UINPUT_OPEN_MANAGED, &device);
    libevdev_free(description);
    if (rc < 0) {
        *error = -rc;
        return nullptr;
    }
    return std::make_shared<Uinput>(device);
}

void send(InputDevice& device, unsigned type, unsigned code, int value)
{
    const int rc = device.write(type, code, value);
    if (rc < 0) {
        static bool told = false;
        if (!told) {
            told = true;
            qCWarning(lcInput, "the kernel refused an input event: %s", std::strerror(-rc));
        }
    }
}

// Why a device could not be made: /dev/uinput's access, or the kernel's refusal.
QString refusal(int error, const QString& what)
{
    return error == EACCES || error == EPERM || error == ENOENT
             ? cannotOpen(error)
             : Texts::tr("the kernel refused %1 (%2)").arg(what, QString::fromLocal8Bit(std::strerror(error)));
}

} // namespace

QString probeUinput()
{
    const int fd = ::open("/dev/uinput", O_WRONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return cannotOpen(errno);
    ::close(fd);
    return {};
}

UinputDevices createUinputDevices(QString* whyNot)
{
    int error = 0;
    UinputDevices devices;
    devices.pointer = makeDevice("Corvane virtual pointer", Kind::Pointer, &error);
    if (devices.pointer)
        devices.keyboard = makeDevice("Corvane virtual keyboard", Kind::Keyboard, &error);
    if (!devices.keyboard) {
        devices = {};
        *whyNot = refusal(error, Texts::tr("Corvane's virtual input devices"));
    }
    return devices;
}

std::shared_ptr<InputDevice> makeJoystickDevice(QString* whyNot)
{
    int error = 0;
    std::shared_ptr<InputDevice> device = makeDevice(kJoystickName, Kind::Joystick, &error);
    if (!device)
        *whyNot = refusal(error, Texts::tr("the joystick \"%1\"").arg(QLatin1String(kJoystickName)));
    return device;
}

QString UinputJoystick::open()
{
    if (device_)
        return {};
    QString whyNot;
    device_ = make_(&whyNot);
    at_ = {};
    if (device_)
        qCInfo(lcInput, "joystick \"%s\" made", kJoystickName);
    return device_ ? QString() : whyNot;
}

void UinputJoystick::move(const JoystickAxes& axes)
{
    if (!device_ || axes == at_)
        return;
    const int from[] = {at_.turn, at_.pitch, at_.lean};
    const int to[] = {axes.turn, axes.pitch, axes.lean};
    for (std::size_t a = 0; a < std::size(kJoystickAxes); ++a) {
        if (to[a] != from[a])
            send(*device_, EV_ABS, kJoystickAxes[a], to[a]);
    }
    send(*device_, EV_SYN, SYN_REPORT, 0);
    at_ = axes;
}

void UinputJoystick::close()
{
    move({});
    if (device_)
        qCInfo(lcInput, "joystick \"%s\" removed", kJoystickName);
    device_.reset();
}

void UinputPointer::moveRelative(int dx, int dy)
{
    // The kernel drops a zero delta and an empty frame anyway.
    if (dx == 0 && dy == 0)
        return;
    if (dx != 0)
        send(*device_, EV_REL, REL_X, dx);
    if (dy != 0)
        send(*device_, EV_REL, REL_Y, dy);
    send(*device_, EV_SYN, SYN_REPORT, 0);
}

UinputKeyOutput::UinputKeyOutput(std::shared_ptr<InputDevice> keyboard, std::shared_ptr<InputDevice> pointer,
                                 std::shared_ptr<const CharacterKeys> characters, KeyPlaces places)
    : keyboard_(std::move(keyboard)), pointer_(std::move(pointer)), characters_(std::move(characters)),
      places_(std::move(places))
{
}

UinputKeyOutput::~UinputKeyOutput()
{
    // Nothing this output pressed stays down (the kernel would also release
    // the keys of a device that goes, but say so in the events).
    for (std::size_t k = 0; k < down_.size(); ++k) {
        if (down_[k])
            key(static_cast<int>(k), false);
    }
    for (int button = 0; button < 3; ++button) {
        if (buttonsDown_[static_cast<std::size_t>(button)])
            buttonUp(static_cast<MouseButton>(button));
    }
}

int UinputKeyOutput::keyOf(int virtualKey)
{
    const int key = places_.kernelKeyFor(virtualKey);
    if (key == 0 && unknownCodes_.insert(virtualKey).second)
        qCWarning(lcInput, "virtual-key code %d names no key; passed over", virtualKey);
    return key;
}

void UinputKeyOutput::key(int key, bool down)
{
    // A second down of a key already down is a repeat, as a held key gives.
    const int value = down ? (down_[static_cast<std::size_t>(key)] ? 2 : 1) : 0;
    down_.set(static_cast<std::size_t>(key), down);
    send(*keyboard_, EV_KEY, static_cast<unsigned>(key), value);
    send(*keyboard_, EV_SYN, SYN_REPORT, 0);
}

void UinputKeyOutput::keyDown(int virtualKey)
{
    if (const int k = keyOf(virtualKey))
        key(k, true);
}

void UinputKeyOutput::keyUp(int virtualKey)
{
    if (const int k = keyOf(virtualKey))
        key(k, false);
}

void UinputKeyOutput::buttonDown(MouseButton button)
{
    buttonsDown_.set(static_cast<std::size_t>(button));
    send(*pointer_, EV_KEY, static_cast<unsigned>(buttonCode(button)), 1);
    send(*pointer_, EV_SYN, SYN_REPORT, 0);
}

void UinputKeyOutput::buttonUp(MouseButton button)
{
    buttonsDown_.reset(static_cast<std::size_t>(button));
    send(*pointer_, EV_KEY, static_cast<unsigned>(buttonCode(button)), 0);
    send(*pointer_, EV_SYN, SYN_REPORT, 0);
}

void UinputKeyOutput::typeCharacter(char32_t character)
{
    const std::optional<Stroke> stroke = characters_ ? characters_->strokeFor(character) : std::nullopt;
    if (!stroke) {
        if (untypable_.insert(character).second)
            qCWarning(lcInput, "no key of the keyboard layout types U+%04X; passed over",
                      static_cast<unsigned>(character));
        return;
    }
    // Modifiers already held stay held; those pressed for the stroke go up after it.
    const bool shift = stroke->shift && !down_[KEY_LEFTSHIFT] && !down_[KEY_RIGHTSHIFT];
    const bool altGr = stroke->altGr && !down_[KEY_RIGHTALT];
    if (shift)
        key(KEY_LEFTSHIFT, true);
    if (altGr)
        key(KEY_RIGHTALT, true);
    key(stroke->key, true);
    key(stroke->key, false);
    if (altGr)
        key(KEY_RIGHTALT, false);
    if (shift)
        key(KEY_LEFTSHIFT, false);
}

} // namespace corvane::platform
