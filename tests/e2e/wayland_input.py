#!/usr/bin/env python3
"""A mouse and a keyboard for a wlroots compositor (sway), as a client of its
virtual pointer and virtual keyboard protocols, speaking the Wayland wire
protocol itself. The keyboard is a real one's: its keycodes are the kernel's
key codes plus 8 and its keymap is xkbcommon's US layout ("evdev" rules), so a
program sees the physical keys typed.

  wayland_input.py click X Y        a left click at X, Y of a 1024 x 768 output
  wayland_input.py keys STEP...     "+29" presses the kernel's key 29, "-29"
                                    releases it; 0.2 s between steps

It uses $XDG_RUNTIME_DIR and $WAYLAND_DISPLAY; it exits 1 when the compositor
lacks a protocol or refuses a request.
"""
import ctypes, os, socket, struct, sys, time

BTN_LEFT = 0x110
STEP_SECONDS = 0.2


class Connection:
    def __init__(self):
        self.sock = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        self.sock.connect(os.path.join(os.environ["XDG_RUNTIME_DIR"], os.environ["WAYLAND_DISPLAY"]))
        self.next_id = 2
        self.globals = {}
        self.registry = self.new_id()
        self.send(1, 1, self.u32(self.registry))  # wl_display.get_registry
        self.roundtrip()

    def new_id(self):
        self.next_id += 1
        return self.next_id - 1

    @staticmethod
    def u32(*values):
        return struct.pack("<%dI" % len(values), *values)

    @staticmethod
    def string(text):
        data = text.encode() + b"\0"
        return struct.pack("<I", len(data)) + data + b"\0" * (-len(data) % 4)

    def send(self, target, opcode, args=b"", fds=()):
        message = struct.pack("<II", target, (8 + len(args)) << 16 | opcode) + args
        ancillary = [(socket.SOL_SOCKET, socket.SCM_RIGHTS, struct.pack("<%di" % len(fds), *fds))] if fds else []
        self.sock.sendmsg([message], ancillary)

    def roundtrip(self):
        """Waits until the compositor has handled every request sent so far."""
        callback = self.new_id()
        self.send(1, 0, self.u32(callback))  # wl_display.sync
        buffer = b""
        while True:
            while len(buffer) < 8 or len(buffer) < struct.unpack_from("<II", buffer)[1] >> 16:
                data = self.sock.recv(65536)
                if not data:
                    sys.exit("wayland_input: the compositor closed the connection")
                buffer += data
            sender, word = struct.unpack_from("<II", buffer)
            size, opcode = word >> 16, word & 0xFFFF
            body, buffer = buffer[8:size], buffer[size:]
            if sender == 1 and opcode == 0:  # wl_display.error
                sys.exit("wayland_input: protocol error: %r" % body[12:].rstrip(b"\0"))
            if sender == self.registry and opcode == 0:  # wl_registry.global
                name, length = struct.unpack_from("<II", body)
                self.globals[body[8:8 + length - 1].decode()] = name
            if sender == callback:
                return

    def bind(self, interface, version):
        if interface not in self.globals:
            sys.exit("wayland_input: the compositor has no " + interface)
        object_id = self.new_id()
        self.send(self.registry, 0, self.u32(self.globals[interface]) + self.string(interface)
                  + self.u32(version, object_id))
        return object_id


def us_keymap():
    """The US layout's keymap as text, compiled by xkbcommon."""
    xkb = ctypes.CDLL("libxkbcommon.so.0")
    names = (ctypes.c_char_p * 5)(b"evdev", b"pc105", b"us", b"", b"")
    xkb.xkb_context_new.restype = ctypes.c_void_p
    xkb.xkb_keymap_new_from_names.restype = ctypes.c_void_p
    xkb.xkb_keymap_new_from_names.argtypes = [ctypes.c_void_p, ctypes.c_void_p, ctypes.c_int]
    xkb.xkb_keymap_get_as_string.restype = ctypes.c_void_p
    xkb.xkb_keymap_get_as_string.argtypes = [ctypes.c_void_p, ctypes.c_int]
    keymap = xkb.xkb_keymap_new_from_names(xkb.xkb_context_new(0), names, 0)
    if not keymap:
        sys.exit("wayland_input: xkbcommon cannot compile the US layout")
    return ctypes.string_at(xkb.xkb_keymap_get_as_string(keymap, 1)) + b"\0"


def now():
    return int(time.monotonic() * 1000) & 0xFFFFFFFF


def click(c, x, y):
    manager = c.bind("zwlr_virtual_pointer_manager_v1", 1)
    pointer = c.new_id()
    c.send(manager, 0, c.u32(0, pointer))  # create_virtual_pointer, on the default seat
    for opcode, args in ((1, (now(), x, y, 1024, 768)), (2, (now(), BTN_LEFT, 1)), (2, (now(), BTN_LEFT, 0))):
        c.send(pointer, opcode, c.u32(*args))  # motion_absolute, button
        c.send(pointer, 4)  # frame
        c.roundtrip()
        time.sleep(STEP_SECONDS)


def keys(c, steps):
    seat = c.bind("wl_seat", 1)
    manager = c.bind("zwp_virtual_keyboard_manager_v1", 1)
    keyboard = c.new_id()
    c.send(manager, 0, c.u32(seat, keyboard))  # create_virtual_keyboard
    keymap = us_keymap()
    fd = os.memfd_create("keymap")
    os.write(fd, keymap)
    c.send(keyboard, 0, c.u32(1, len(keymap)), fds=[fd])  # keymap: xkb v1, the file, its size
    c.roundtrip()
    time.sleep(STEP_SECONDS)
    for step in steps:
        c.send(keyboard, 1, c.u32(now(), int(step[1:]), 1 if step[0] == "+" else 0))  # key
        c.roundtrip()
        time.sleep(STEP_SECONDS)


if __name__ == "__main__":
    if len(sys.argv) == 4 and sys.argv[1] == "click":
        click(Connection(), int(sys.argv[2]), int(sys.argv[3]))
    elif len(sys.argv) > 2 and sys.argv[1] == "keys":
        keys(Connection(), sys.argv[2:])
    else:
        sys.exit(__doc__)
