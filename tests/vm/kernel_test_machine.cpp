// The virtual machine that scripts/kernel-tests.sh runs the kernel tests in:
// what they take from it. A device made through /dev/uinput gets an event
// node, and udev classifies it as libinput wants (udevd runs and handles the
// devices that appear); the runtime folder is there for Qt.
#include <gtest/gtest.h>

#include <libudev.h>
#include <linux/uinput.h>

#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {

using namespace std::chrono_literals;
using Properties = std::map<std::string, std::string>;

// An input device of the test's own, made through /dev/uinput and gone with
// the object.
class UinputDevice {
public:
    // `bits`: pairs of an ioctl that enables an event type or code, and that
    // type or code (UI_SET_EVBIT, EV_REL).
    UinputDevice(const std::string& name, const std::vector<std::pair<unsigned long, int>>& bits)
        : fd_(::open("/dev/uinput", O_WRONLY | O_NONBLOCK | O_CLOEXEC))
    {
        if (fd_ < 0)
            return;
        for (const auto& [request, value] : bits)
            ::ioctl(fd_, request, value);
        uinput_setup setup{};
        setup.id.bustype = BUS_VIRTUAL;
        std::strncpy(setup.name, name.c_str(), UINPUT_MAX_NAME_SIZE - 1);
        if (::ioctl(fd_, UI_DEV_SETUP, &setup) != 0 || ::ioctl(fd_, UI_DEV_CREATE) != 0) {
            ::close(fd_);
            fd_ = -1;
        }
    }
    ~UinputDevice()
    {
        if (fd_ >= 0) {
            ::ioctl(fd_, UI_DEV_DESTROY);
            ::close(fd_);
        }
    }
    bool made() const { return fd_ >= 0; }

private:
    int fd_;
};

// An event node as udev has it: its input device's name, whether udev has
// handled it, and its properties ("DEVNAME" is the node).
struct EventNode {
    std::string device;
    bool handled = false;
    Properties properties;
};

std::vector<EventNode> eventNodes()
{
    std::vector<EventNode> nodes;
    udev* context = udev_new();
    udev_enumerate* list = udev_enumerate_new(context);
    udev_enumerate_add_match_subsystem(list, "input");
    udev_enumerate_add_match_sysname(list, "event*");
    udev_enumerate_scan_devices(list);
    udev_list_entry* entry = nullptr;
    udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(list))
    {
        udev_device* node = udev_device_new_from_syspath(context, udev_list_entry_get_name(entry));
        if (!node)
            continue;
        udev_device* parent = udev_device_get_parent(node);
        const char* name = parent ? udev_device_get_sysattr_value(parent, "name") : nullptr;
        EventNode& added = nodes.emplace_back(EventNode{name ? name : "", udev_device_get_is_initialized(node) != 0, {}});
        udev_list_entry* property = nullptr;
        udev_list_entry_foreach(property, udev_device_get_properties_list_entry(node))
            added.properties[udev_list_entry_get_name(property)] = udev_list_entry_get_value(property);
        udev_device_unref(node);
    }
    udev_enumerate_unref(list);
    udev_unref(context);
    return nodes;
}

// The properties of the event node of the input device named `name` once
// udev has handled it; empty when that did not happen within `within`.
Properties handledNodeOf(const std::string& name, std::chrono::milliseconds within)
{
    for (const auto end = std::chrono::steady_clock::now() + within; std::chrono::steady_clock::now() < end;) {
        for (const EventNode& node : eventNodes())
            if (node.device == name && node.handled)
                return node.properties;
        std::this_thread::sleep_for(20ms);
    }
    return {};
}

// The classes that udev gave a node: the ID_INPUT* properties set to 1.
std::string classes(const Properties& properties)
{
    std::string names;
    for (const auto& [key, value] : properties)
        if (key.rfind("ID_INPUT", 0) == 0 && value == "1")
            names += (names.empty() ? "" : " ") + key;
    return names;
}

} // namespace

TEST(Machine, APointerDeviceGetsAnEventNodeThatUdevCallsAMouse)
{
    UinputDevice pointer("kernel_test_machine pointer", {{UI_SET_EVBIT, EV_REL}, {UI_SET_RELBIT, REL_X},
        {UI_SET_RELBIT, REL_Y}, {UI_SET_EVBIT, EV_KEY}, {UI_SET_KEYBIT, BTN_LEFT}, {UI_SET_KEYBIT, BTN_RIGHT}});
    ASSERT_TRUE(pointer.made()) << "/dev/uinput: " << std::strerror(errno);
    const Properties properties = handledNodeOf("kernel_test_machine pointer", 5000ms);
    EXPECT_EQ(properties.count("DEVNAME") ? properties.at("DEVNAME").substr(0, 16) : "", "/dev/input/event");
    EXPECT_EQ(classes(properties), "ID_INPUT ID_INPUT_MOUSE");
}

TEST(Machine, AKeyDeviceGetsAnEventNodeThatUdevCallsAKeyboard)
{
    // udev takes a device with the keys from Escape to S (1 to 31) for a keyboard.
    std::vector<std::pair<unsigned long, int>> bits = {{UI_SET_EVBIT, EV_KEY}};
    for (int key = KEY_ESC; key <= KEY_S; ++key)
        bits.emplace_back(UI_SET_KEYBIT, key);
    UinputDevice keyboard("kernel_test_machine keyboard", bits);
    ASSERT_TRUE(keyboard.made()) << "/dev/uinput: " << std::strerror(errno);
    EXPECT_EQ(classes(handledNodeOf("kernel_test_machine keyboard", 5000ms)), "ID_INPUT ID_INPUT_KEY ID_INPUT_KEYBOARD");
}

TEST(Machine, UdevHasHandledTheDevicesThatWereThereBeforeIt)
{
    // The machine's own keyboard, at least, was there before udevd started.
    const std::vector<EventNode> nodes = eventNodes();
    EXPECT_FALSE(nodes.empty());
    for (const EventNode& node : nodes)
        EXPECT_TRUE(node.handled) << node.device;
}

TEST(Machine, TheRuntimeFolderIsAWritableFolderOfItsUsersAlone)
{
    // Qt warns about any other; as root, access() tells whether it is on a
    // file system mounted for writing.
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    struct stat info{};
    ASSERT_EQ(::stat(runtime ? runtime : "", &info), 0) << "XDG_RUNTIME_DIR=" << (runtime ? runtime : "");
    EXPECT_TRUE(S_ISDIR(info.st_mode) && ::access(runtime, W_OK) == 0) << runtime;
    EXPECT_EQ(info.st_mode & 0777, 0700u) << runtime;
}
