// Corvane's virtual devices in the virtual machine that scripts/kernel-tests.sh
// runs the kernel tests in: each gets an event node, which udev classifies as
// libinput wants (udevd runs and handles the devices that appear) by the name,
// bus, vendor and product Corvane gives it.
#include "platform/UinputOutput.h"

#include <gtest/gtest.h>

#include <libudev.h>

#include <chrono>
#include <map>
#include <string>
#include <thread>

namespace {

using namespace std::chrono_literals;
using Properties = std::map<std::string, std::string>;

// The properties of the event node of the input device named `name` once
// udev has handled it ("DEVNAME" is the node); empty before.
Properties handledNode(const std::string& name)
{
    Properties found;
    udev* context = udev_new();
    udev_enumerate* list = udev_enumerate_new(context);
    udev_enumerate_add_match_subsystem(list, "input");
    udev_enumerate_add_match_sysname(list, "event*");
    udev_enumerate_scan_devices(list);
    udev_list_entry* entry = nullptr;
    udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(list))
    {
        udev_device* node = udev_device_new_from_syspath(context, udev_list_entry_get_name(entry));
        udev_device* parent = node ? udev_device_get_parent(node) : nullptr;
        const char* device = parent ? udev_device_get_sysattr_value(parent, "name") : nullptr;
        if (device && device == name && udev_device_get_is_initialized(node)) {
            udev_list_entry* property = nullptr;
            udev_list_entry_foreach(property, udev_device_get_properties_list_entry(node))
                found[udev_list_entry_get_name(property)] = udev_list_entry_get_value(property);
            // The input device above the node tells bus, vendor, product and version.
            if (const char* product = udev_device_get_property_value(parent, "PRODUCT"))
                found["PRODUCT"] = product;
        }
        udev_device_unref(node);
    }
    udev_enumerate_unref(list);
    udev_unref(context);
    return found;
}

// The same, waiting up to `within` for udev to handle the node.
Properties handledNodeOf(const std::string& name, std::chrono::milliseconds within)
{
    Properties found;
    for (const auto end = std::chrono::steady_clock::now() + within;
         (found = handledNode(name)).empty() && std::chrono::steady_clock::now() < end;)
        std::this_thread::sleep_for(20ms);
    return found;
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
