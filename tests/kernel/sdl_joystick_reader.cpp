// sdl_joystick_reader NAME SECONDS: reads the joystick named NAME as native
// and Proton games read joysticks, through SDL2 (its joystick subsystem
// alone), for the kernel tests. Prints, one line each, flushed at once:
//   joystick NAME: A axes, B buttons     when it has opened the joystick
//   axis N VALUE                         each axis motion SDL reports
//   gone                                 when the joystick is removed
// and ends when the joystick is gone, after SECONDS, or when killed. The
// exit status is 1 when no joystick of that name appeared, 2 on bad usage.
//
// It needs no hint: SDL finds joysticks through udev (libudev, loaded when it
// starts) by the ID_INPUT_JOYSTICK property, which the test machine's udevd
// gives "Corvane head" as a desktop's does, and reads the evdev node, not the
// js node. So a device that udev did not call a joystick would not show up
// here, as in a game. (Where no udevd runs, SDL_JOYSTICK_DISABLE_UDEV=1 makes
// SDL scan /dev/input and judge each device itself.)
#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

void say(const char* format, auto... values)
{
    std::printf(format, values...);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    const int seconds = argc == 3 ? std::atoi(argv[2]) : 0;
    if (seconds <= 0) {
        std::fprintf(stderr, "usage: sdl_joystick_reader NAME SECONDS\n");
        return 2;
    }
    const char* name = argv[1];
    if (SDL_Init(SDL_INIT_JOYSTICK) != 0) {
        std::fprintf(stderr, "sdl_joystick_reader: %s\n", SDL_GetError());
        return 1;
    }
    SDL_Joystick* joystick = nullptr;
    SDL_JoystickID id = -1;
    const Uint64 end = SDL_GetTicks64() + static_cast<Uint64>(seconds) * 1000;
    while (SDL_GetTicks64() < end) {
        SDL_Event event;
        // SDL finds joysticks that appear later through the same events.
        if (!SDL_WaitEventTimeout(&event, 100))
            continue;
        if (event.type == SDL_JOYDEVICEADDED && !joystick) {
            const char* found = SDL_JoystickNameForIndex(event.jdevice.which);
            if (found && std::strcmp(found, name) == 0 && (joystick = SDL_JoystickOpen(event.jdevice.which))) {
                id = SDL_JoystickInstanceID(joystick);
                say("joystick %s: %d axes, %d buttons\n", SDL_JoystickName(joystick), SDL_JoystickNumAxes(joystick),
                    SDL_JoystickNumButtons(joystick));
            }
        } else if (event.type == SDL_JOYAXISMOTION && event.jaxis.which == id) {
            say("axis %d %d\n", event.jaxis.axis, event.jaxis.value);
        } else if (event.type == SDL_JOYDEVICEREMOVED && event.jdevice.which == id) {
            say("gone\n");
            break;
        }
    }
    const bool opened = joystick != nullptr;
    if (joystick)
        SDL_JoystickClose(joystick);
    SDL_Quit();
    return opened ? 0 : 1;
}
