#include "platform/XkbLayout.h"

#include "platform/KeyPlaces.h"
#include "platform/X11KeyTable.h"

#include <QFile>
#include <QRegularExpression>

#include <xcb/xcb.h>
#include <xkbcommon/xkbcommon-x11.h>
#include <xkbcommon/xkbcommon.h>

#include <algorithm>
#include <cstdlib>
#include <string_view>

namespace corvane::platform {

namespace {

// The layouts of the X server's rule names; empty when it has none.
std::string layoutsOfXServer(xcb_connection_t* connection)
{
    const char kName[] = "_XKB_RULES_NAMES";
    xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 1, sizeof kName - 1, kName), nullptr);
    if (!atom)
        return {};
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    xcb_get_property_reply_t* property = xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, root, atom->atom, XCB_ATOM_STRING, 0, 1024), nullptr);
    free(atom);
    std::string layouts;
    if (property) {
        layouts = layoutsOfRulesNames(
            std::string_view(static_cast<const char*>(xcb_get_property_value(property)),
                             static_cast<std::size_t>(xcb_get_property_value_length(property))));
        free(property);
    }
    return layouts;
}

// The keymap of the X server's core keyboard, its group now and its layout
// names; null when no X server is reachable or it lacks XKB.
xkb_keymap* keymapOfXServer(xkb_context* context, unsigned* group, std::string* layouts)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        return nullptr;
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    xkb_keymap* keymap = nullptr;
    if (!xcb_connection_has_error(connection)
        && xkb_x11_setup_xkb_extension(connection, XKB_X11_MIN_MAJOR_XKB_VERSION, XKB_X11_MIN_MINOR_XKB_VERSION,
                                       XKB_X11_SETUP_XKB_EXTENSION_NO_FLAGS, nullptr, nullptr, nullptr, nullptr)) {
        const int32_t device = xkb_x11_get_core_keyboard_device_id(connection);
        if (device >= 0)
            keymap = xkb_x11_keymap_new_from_device(context, connection, device, XKB_KEYMAP_COMPILE_NO_FLAGS);
        if (keymap) {
            if (xkb_state* state = xkb_x11_state_new_from_device(keymap, connection, device)) {
                *group = xkb_state_serialize_layout(state, XKB_STATE_LAYOUT_EFFECTIVE);
                xkb_state_unref(state);
            }
            *layouts = layoutsOfXServer(connection);
        }
    }
    xcb_disconnect(connection);
    return keymap;
}

} // namespace

LayoutNames layoutNamesFrom(const QByteArray& configuration)
{
    LayoutNames names;
    static const QRegularExpression line(QStringLiteral(R"re(^\s*(XKB\w+)\s*=\s*"?([^"\n]*)"?\s*$)re"),
                                         QRegularExpression::MultilineOption);
    for (const QRegularExpressionMatch& m : line.globalMatch(QString::fromUtf8(configuration))) {
        const QString key = m.captured(1), value = m.captured(2).trimmed();
        if (key == QLatin1String("XKBMODEL"))
            names.model = value;
        else if (key == QLatin1String("XKBLAYOUT"))
            names.layout = value;
        else if (key == QLatin1String("XKBVARIANT"))
            names.variant = value;
        else if (key == QLatin1String("XKBOPTIONS"))
            names.options = value;
    }
    return names;
}

XkbLayout::XkbLayout(xkb_context* context, xkb_keymap* keymap, unsigned group, std::string layouts)
    : context_(context), keymap_(keymap), group_(group), layouts_(std::move(layouts))
{
    const xkb_mod_index_t shift = xkb_keymap_mod_get_index(keymap_, XKB_MOD_NAME_SHIFT);
    shift_ = shift == XKB_MOD_INVALID ? 0 : 1u << shift;
    for (const char* name : {"Mod5", "LevelThree"}) {
        const xkb_mod_index_t index = xkb_keymap_mod_get_index(keymap_, name);
        if (index != XKB_MOD_INVALID)
            altGr_ |= 1u << index;
    }
}

XkbLayout::~XkbLayout()
{
    xkb_keymap_unref(keymap_);
    xkb_context_unref(context_);
}

std::shared_ptr<XkbLayout> XkbLayout::fromNames(const LayoutNames& names)
{
    xkb_context* context = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    if (!context)
        return nullptr;
    const QByteArray model = names.model.toUtf8(), layout = names.layout.toUtf8(), variant = names.variant.toUtf8(),
                     options = names.options.toUtf8();
    const xkb_rule_names rules{
        nullptr, model.isEmpty() ? nullptr : model.constData(), layout.isEmpty() ? nullptr : layout.constData(),
        variant.isEmpty() ? nullptr : variant.constData(), options.isEmpty() ? nullptr : options.constData()};
    xkb_keymap* keymap = xkb_keymap_new_from_names(context, &rules, XKB_KEYMAP_COMPILE_NO_FLAGS);
    if (!keymap) {
        xkb_context_unref(context);
        return nullptr;
    }
    return std::shared_ptr<XkbLayout>(new XkbLayout(context, keymap, 0, layout.toStdString()));
}

std::shared_ptr<XkbLayout> XkbLayout::forUser(QString* source)
{
    if (xkb_context* context = xkb_context_new(XKB_CONTEXT_NO_FLAGS)) {
        unsigned group = 0;
        std::string layouts;
        if (xkb_keymap* keymap = keymapOfXServer(context, &group, &layouts)) {
            *source = QStringLiteral("the X server's keyboard layout");
            return std::shared_ptr<XkbLayout>(new XkbLayout(context, keymap, group, std::move(layouts)));
        }
        xkb_context_unref(context);
    }
    QFile file(QStringLiteral("/etc/default/keyboard"));
    if (file.open(QIODevice::ReadOnly)) {
        const LayoutNames names = layoutNamesFrom(file.read(64 * 1024));
        if (!names.layout.isEmpty()) {
            if (auto layout = fromNames(names)) {
                *source = QStringLiteral("the layout \"%1\" of /etc/default/keyboard").arg(names.layout);
                return layout;
            }
        }
    }
    *source = QStringLiteral("the layout \"us\"");
    return fromNames({QString(), QStringLiteral("us"), QString(), QString()});
}

std::optional<Stroke> XkbLayout::strokeFor(char32_t character) const
{
    const auto wanted = static_cast<xkb_keysym_t>(keysymForCharacter(character));
    if (wanted == XKB_KEY_NoSymbol)
        return std::nullopt;
    std::optional<Stroke> best;
    int bestLevel = 0;
    const xkb_keycode_t last = xkb_keymap_max_keycode(keymap_);
    for (xkb_keycode_t keycode = xkb_keymap_min_keycode(keymap_); keycode <= last; ++keycode) {
        // Only the keys of a real keyboard: the virtual one has no others.
        const int key = static_cast<int>(keycode) - kX11KeycodeOffset;
        if (key <= 0 || !std::binary_search(namedKernelKeys().begin(), namedKernelKeys().end(), key))
            continue;
        const xkb_layout_index_t groups = xkb_keymap_num_layouts_for_key(keymap_, keycode);
        if (groups == 0)
            continue;
        const xkb_layout_index_t group = group_ < groups ? group_ : 0;
        const xkb_level_index_t levels = xkb_keymap_num_levels_for_key(keymap_, keycode, group);
        for (xkb_level_index_t level = 0; level < levels; ++level) {
            if (best && static_cast<int>(level) >= bestLevel)
                break;
            const xkb_keysym_t* syms = nullptr;
            if (xkb_keymap_key_get_syms_by_level(keymap_, keycode, group, level, &syms) != 1 || syms[0] != wanted)
                continue;
            xkb_mod_mask_t masks[8];
            const size_t count = xkb_keymap_key_get_mods_for_level(keymap_, keycode, group, level, masks, 8);
            for (size_t i = 0; i < count; ++i) {
                if (masks[i] & ~(shift_ | altGr_))
                    continue;
                best = Stroke{key, (masks[i] & shift_) != 0, (masks[i] & altGr_) != 0};
                bestLevel = static_cast<int>(level);
                break;
            }
        }
        if (best && bestLevel == 0)
            break;
    }
    return best;
}

KeyPlaces XkbLayout::places() const
{
    LayoutKeys layout{layoutOfGroup(layouts_, static_cast<int>(group_)), {}};
    for (std::size_t key = 1; key + kX11KeycodeOffset < layout.letters.size(); ++key) {
        const auto keycode = static_cast<xkb_keycode_t>(key + kX11KeycodeOffset);
        const xkb_layout_index_t groups = xkb_keymap_num_layouts_for_key(keymap_, keycode);
        const xkb_keysym_t* syms = nullptr;
        if (groups == 0
            || xkb_keymap_key_get_syms_by_level(keymap_, keycode, group_ < groups ? group_ : 0, 0, &syms) != 1)
            continue;
        layout.letters[key] = latinLetterOfKeysym(syms[0]);
    }
    return KeyPlaces(layout);
}

} // namespace corvane::platform
