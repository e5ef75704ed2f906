#pragma once
// Injected key strokes and mouse buttons, as a keyboard and a mouse would
// produce them, in the order asked for.
namespace corvane::platform {

enum class MouseButton { Left, Right, Middle };

class KeyOutput {
public:
    virtual ~KeyOutput() = default;
    // One key down or up by virtual-key code (160 left Shift, 65 A ...). A code
    // that has no key on this system is passed over with a note on standard
    // error.
    virtual void keyDown(int virtualKey) = 0;
    virtual void keyUp(int virtualKey) = 0;
    virtual void buttonDown(MouseButton button) = 0;
    virtual void buttonUp(MouseButton button) = 0;
    // Types one character as the current keyboard layout produces it: the key
    // that gives it, with Shift or AltGr when the layout needs them, down and up.
    // Modifier keys already held stay held. A character that no key of the
    // layout gives is typed through a spare key, which has it for the stroke
    // and a moment after, so the application that gets it can still read it.
    virtual void typeCharacter(char32_t character) = 0;
};

} // namespace corvane::platform
