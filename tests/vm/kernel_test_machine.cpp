// The virtual machine that scripts/kernel-tests.sh runs the kernel tests in,
// and Corvane's virtual devices in it: each gets an event node, which udev
// classifies as libinput wants (udevd runs and handles the devices that
// appear) by the name, bus, vendor and product Corvane gives it; the runtime
// folder is there for Qt.
#include "platform/UinputOutput.h"

#include <gtest/gtest.h>

#include <libudev.h>

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
        // The input device above the node tells bus, vendor, product and version.
        if (const char* product = parent ? udev_device_get_property_value(parent, "PRODUCT") : nullptr)
            added.properties["PRODUCT"] = product;
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

TEST(Machine, CorvanesDevicesGetEventNodesThatUdevCallsAMouseAndAKeyboard)
{
    QString whyNot;
    const corvane::platform::UinputDevices devices = corvane::platform::createUinputDevices(&whyNot);
    ASSERT_TRUE(devices.pointer) << whyNot.toStdString();
    Properties pointer = handledNodeOf("Corvane virtual pointer", 5000ms);
    EXPECT_EQ(pointer["DEVNAME"].substr(0, 16), "/dev/input/event");
    EXPECT_EQ(classes(pointer), "ID_INPUT ID_INPUT_MOUSE");
    Properties keyboard = handledNodeOf("Corvane virtual keyboard", 5000ms);
    EXPECT_EQ(classes(keyboard), "ID_INPUT ID_INPUT_KEY ID_INPUT_KEYBOARD");
    // Bus, vendor, product and version, in hexadecimal, as udev reads them.
    EXPECT_EQ(pointer["PRODUCT"], "6/4356/1/1");
    EXPECT_EQ(keyboard["PRODUCT"], "6/4356/2/1");
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
