#pragma once
// The user's keyboard layout, as xkbcommon compiles it: which key, with or
// without Shift and AltGr, types a character. Taken from the X server when
// one is reachable (it knows the layout the user chose), else from the
// system's keyboard configuration (/etc/default/keyboard), else "us".
#include "platform/KeyPlaces.h"
#include "platform/UinputOutput.h"

#include <QString>

#include <memory>
#include <string>

struct xkb_context;
struct xkb_keymap;

namespace corvane::platform {

// What the system's keyboard configuration file names, as rule names.
struct LayoutNames {
    QString model, layout, variant, options;
};
// XKBMODEL, XKBLAYOUT, XKBVARIANT and XKBOPTIONS of a configuration file in
// the shell's form (XKBLAYOUT="de"); missing ones stay empty.
LayoutNames layoutNamesFrom(const QByteArray& configuration);

class XkbLayout final : public CharacterKeys {
public:
    // The user's layout, found as above; `source` says where it came from.
    static std::shared_ptr<XkbLayout> forUser(QString* source);
    // The layout the rule names give; null when xkbcommon cannot compile it.
    static std::shared_ptr<XkbLayout> fromNames(const LayoutNames& names);
    ~XkbLayout() override;
    XkbLayout(const XkbLayout&) = delete;
    XkbLayout& operator=(const XkbLayout&) = delete;

    // The key of a 105-key keyboard (KeyPlaces.h) that gives the character in
    // the layout's current group at the lowest level, and the modifiers of that level; none when no key gives it
    // with Shift and AltGr alone.
    std::optional<Stroke> strokeFor(char32_t character) const override;
    // Which code each key is in the layout's current group.
    KeyPlaces places() const;

private:
    XkbLayout(xkb_context* context, xkb_keymap* keymap, unsigned group, std::string layouts);
    xkb_context* context_;
    xkb_keymap* keymap_;
    unsigned group_;
    // The layout rule names, comma-separated ("us,de").
    std::string layouts_;
    // The modifier masks of Shift and of AltGr (level 3) in this keymap.
    unsigned shift_ = 0;
    unsigned altGr_ = 0;
};

} // namespace corvane::platform
