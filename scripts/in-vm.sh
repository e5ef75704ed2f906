#!/usr/bin/env bash
# Runs a shell command line as root inside a small virtual machine that has
# what these machines lack: /dev/uinput and the kernel's evdev devices. QEMU
# emulates the machine in software (no KVM needed) and boots Debian's kernel,
# the newest /boot/vmlinuz-* whose modules are in /lib/modules, with a busybox
# initramfs. The guest sees the host's / read-only over virtio-9p and runs the
# command with bash in a chroot of it, so the host's programs and libraries run
# as they are, with:
#   - devtmpfs on /dev (and devpts, /dev/shm), proc, sysfs, empty tmpfs on
#     /tmp and /run, HOME=/tmp/home, XDG_RUNTIME_DIR=/run/user/0, LANG=C.UTF-8
#     and no other variable of the host's;
#   - the uinput, evdev and joydev modules loaded: /dev/uinput exists, every
#     new input device shows up as /dev/input/eventN, and a joystick as
#     /dev/input/jsN as well;
#   - udevd running (when the host has it), so that input devices get their
#     ID_INPUT_* properties, as libinput wants them;
#   - the host's working folder as the working folder (when it is in the
#     host's /tmp, it alone of that /tmp is in the guest's, read-only too).
# The command's output (standard output and error) comes out on this script's
# standard output as it is written, and its exit status is this script's. When
# the machine cannot be built or booted, or ends without the command's status
# (a kernel panic, the time limit), the script says why on standard error and
# exits 125.
#
#   scripts/in-vm.sh COMMAND-LINE...      (the words are joined by spaces)
#
# The kernel and initramfs are kept in CORVANE_VM_DIR (default build/vm), one
# folder per kernel version, and made again when the kernel, busybox or this
# script change.
# Environment:
#   CORVANE_VM_DIR      where the kernel and initramfs are kept
#   CORVANE_VM_TIMEOUT  seconds the whole run may take (default 1800)
#   CORVANE_VM_MEMORY   the guest's memory (default 1G)
#   CORVANE_VM_VERBOSE  1 to show the guest kernel's messages and trace /init
#                       on standard error
set -uo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
self="$root/scripts/in-vm.sh"
vm_dir=${CORVANE_VM_DIR:-$root/build/vm}
timeout=${CORVANE_VM_TIMEOUT:-1800}
memory=${CORVANE_VM_MEMORY:-1G}
cannot_run=125

# The modules the guest loads (after those they need): the PCI transport, its
# serial ports and 9p file system, and the input devices (joydev gives
# joysticks their js nodes).
modules=(virtio_pci virtio_console 9pnet_virtio 9p uinput evdev joydev)

fail() {
  echo "in-vm.sh: $*" >&2
  exit "$cannot_run"
}

(($# > 0)) || { echo "usage: scripts/in-vm.sh COMMAND-LINE..." >&2; exit 2; }
export PATH="$PATH:/usr/sbin:/sbin"
for tool in qemu-system-x86_64 busybox modprobe xz; do
  command -v "$tool" >/dev/null || fail "$tool is missing (scripts/install-deps.sh installs it)"
done

# newest_kernel: prints the newest kernel version that has both its image in
# /boot and its modules in /lib/modules.
newest_kernel() {
  local image version
  for image in /boot/vmlinuz-*; do
    version=${image#/boot/vmlinuz-}
    [[ -f $image && -f /lib/modules/$version/modules.dep ]] && echo "$version"
  done | sort -V | tail -n 1
}

# extract_vmlinux IMAGE OUT: writes the uncompressed ELF kernel inside the
# bzImage IMAGE to OUT, which QEMU boots straight through its PVH entry. The
# boot header says where the compressed payload starts (after the setup
# sectors, at payload_offset) and how long it is; its first bytes say how it
# was compressed.
extract_vmlinux() {
  local image=$1 out=$2 setup offset length start magic decompress
  setup=$(od -An -tu1 -j $((0x1f1)) -N 1 "$image") &&
    offset=$(od -An -tu4 -j $((0x248)) -N 4 "$image") &&
    length=$(od -An -tu4 -j $((0x24c)) -N 4 "$image") || return 1
  ((setup == 0)) && setup=4
  start=$(((setup + 1) * 512 + offset + 1))
  magic=$(tail -c +"$start" "$image" | head -c 6 | od -An -tx1 | tr -d ' \n')
  case $magic in
    fd377a585a00) decompress=(xz -dc --single-stream) ;;
    1f8b*) decompress=(gzip -dc) ;;
    28b52ffd*) decompress=(zstd -dcq) ;;
    *) echo "in-vm.sh: $image: unknown compression (the payload starts with $magic)" >&2; return 1 ;;
  esac
  command -v "${decompress[0]}" >/dev/null || { echo "in-vm.sh: ${decompress[0]} is missing" >&2; return 1; }
  # The payload ends with the uncompressed size, which the decompressors may
  # take for trailing garbage: whether the output is an ELF file decides.
  tail -c +"$start" "$image" | head -c "$length" | "${decompress[@]}" >"$out" 2>/dev/null
  [[ $(head -c 4 "$out" | od -An -tx1 | tr -d ' \n') == 7f454c46 ]] ||
    { echo "in-vm.sh: $image: the decompressed payload is no ELF file" >&2; return 1; }
}

# The guest's /init (busybox sh): mounts, loads the modules, runs the job in
# the chroot, sends its status home and ends the machine. Its own messages go
# to the serial console, which the host keeps in console.log.
write_init() {
  cat >"$1" <<'EOF'
#!/bin/busybox sh
/bin/busybox mount -t devtmpfs devtmpfs /dev
exec </dev/null >/dev/ttyS0 2>&1
/bin/busybox --install -s /bin
export PATH=/bin
mount -t proc proc /proc
mount -t sysfs sysfs /sys
grep -q corvane.verbose /proc/cmdline && { set -x; PS4='+ $(cut -d" " -f1 /proc/uptime) '; }

status_port=
# end STATUS: sends STATUS home and ends the machine.
end() {
  [ -n "$status_port" ] && echo "$1" >"$status_port"
  # QEMU's isa-debug-exit device on port 0xf4: QEMU exits at once.
  printf '\000' | dd of=/dev/port bs=1 seek=244 count=1 2>/dev/null
  poweroff -f
}

# port NAME: the device of the virtio serial port that the host named NAME.
port() {
  local i p
  for i in $(seq 1000); do
    for p in /sys/class/virtio-ports/*; do
      [ "$(cat "$p/name" 2>/dev/null)" = "$1" ] && { echo "/dev/${p##*/}"; return 0; }
    done
    usleep 10000
  done
  return 1
}

while read -r module; do
  insmod "/modules/$module" || echo "init: cannot load $module"
done </modules/order
status_port=$(port status) || { echo "init: no status port"; end failed; }
out_port=$(port out) || { echo "init: no output port"; end failed; }

# The host's files do not change while the guest runs: the guest may cache them.
mkdir -p /host /job
mount -t 9p -o ro,trans=virtio,version=9p2000.L,msize=512000,cache=loose hostroot /host ||
  { echo "init: cannot mount the host's /"; end failed; }
job=$(sed -n 's/.*corvane\.job=\([^ ]*\).*/\1/p' /proc/cmdline)
cp "/host$job/command" "/host$job/cwd" /job/ || { echo "init: no job in $job"; end failed; }

mount -t devtmpfs devtmpfs /host/dev
mkdir -p /host/dev/pts /host/dev/shm
mount -t devpts devpts /host/dev/pts
mount -t tmpfs tmpfs /host/dev/shm
# What shells and programs expect of /dev beside the device nodes.
ln -s /proc/self/fd /host/dev/fd
for n in 0:stdin 1:stdout 2:stderr; do ln -s "/proc/self/fd/${n%%:*}" "/host/dev/${n#*:}"; done
mount -t proc proc /host/proc
mount -t sysfs sysfs /host/sys
# The guest's /tmp is its own, but for a working folder in the host's.
cwd=$(cat /job/cwd)
case $cwd in /tmp/*) mkdir -p /cwd && mount --bind "/host$cwd" /cwd ;; esac
mount -t tmpfs -o mode=1777 tmpfs /host/tmp
case $cwd in /tmp/*) mkdir -p "/host$cwd" && mount --move /cwd "/host$cwd" ;; esac
mount -t tmpfs -o mode=755 tmpfs /host/run
mkdir -p /host/tmp/home /host/run/user/0
chmod 700 /host/run/user/0
cp /job/command /host/run/command

run() {
  chroot /host /usr/bin/env -i \
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    HOME=/tmp/home XDG_RUNTIME_DIR=/run/user/0 LANG=C.UTF-8 "$@"
}

# udevd gives the input devices their properties (ID_INPUT_MOUSE and so on),
# both those there now and those that appear later. udevadm ignores requests
# in a chroot unless told not to.
run SYSTEMD_IGNORE_CHROOT=1 /bin/sh -c '
  [ -x /lib/systemd/systemd-udevd ] || exit 0
  /lib/systemd/systemd-udevd --daemon --resolve-names=never &&
    udevadm trigger --action=add --subsystem-match=input &&
    udevadm settle --timeout=10' ||
  echo "in-vm.sh: udevd did not start: input devices have no udev properties" >"$out_port"

run /bin/bash -c '
  cd "$1" 2>/dev/null || { echo "in-vm.sh: the working folder $1 is not in the guest" >&2; exit 125; }
  exec /bin/bash /run/command' job "$cwd" >"$out_port" 2>&1
end $?
EOF
  chmod 755 "$1"
}

# build_image VERSION FOLDER: writes FOLDER/vmlinux and FOLDER/initramfs.cpio.
build_image() {
  local version=$1 folder=$2 tree="$2/tree" file
  extract_vmlinux "/boot/vmlinuz-$version" "$folder/vmlinux" || return 1
  mkdir -p "$tree/bin" "$tree/dev" "$tree/proc" "$tree/sys" "$tree/modules"
  cp "$(command -v busybox)" "$tree/bin/busybox" || return 1
  write_init "$tree/init"
  # modprobe lists the module files in load order, some more than once.
  : >"$tree/modules/order"
  while read -r file; do
    cp "$file" "$tree/modules/" && basename "$file" >>"$tree/modules/order" || return 1
  done < <(modprobe -S "$version" --show-depends -a "${modules[@]}" |
    awk '$1 == "insmod" && !seen[$2]++ { print $2 }')
  [[ $(wc -l <"$tree/modules/order") -ge ${#modules[@]} ]] ||
    { echo "in-vm.sh: modprobe did not find the modules ${modules[*]} for $version" >&2; return 1; }
  (cd "$tree" && find . -mindepth 1 | busybox cpio -o -H newc -R 0:0 >"$folder/initramfs.cpio" 2>/dev/null) ||
    return 1
  rm -rf "$tree"
}

version=$(newest_kernel)
[[ -n $version ]] || fail "no kernel: no /boot/vmlinuz-* has its modules in /lib/modules (install linux-image-amd64)"
[[ -r /boot/vmlinuz-$version ]] || fail "/boot/vmlinuz-$version is not readable"

job=
fresh=
trap 'rm -rf "$job" "$fresh"' EXIT

image="$vm_dir/$version"
key="$(stat -c '%s %Y' "/boot/vmlinuz-$version" "$(command -v busybox)") $(sha256sum <"$self")"
if [[ ! -f $image/key || $(cat "$image/key") != "$key" ]]; then
  mkdir -p "$vm_dir" && fresh=$(mktemp -d "$vm_dir/new.XXXXXX") || fail "cannot make a folder in $vm_dir"
  build_image "$version" "$fresh" || fail "cannot build the guest's kernel and initramfs for $version"
  echo "$key" >"$fresh/key"
  # Another run may have kept its image in the meantime: either one serves.
  rm -rf "$image"
  mv -T "$fresh" "$image" 2>/dev/null
fi

job=$(mktemp -d) || fail "cannot make a job folder"
[[ $job != *[[:space:]]* ]] || fail "the job folder $job has a space in its path"
printf '%s\n' "$*" >"$job/command"
pwd >"$job/cwd"
: >"$job/out"
: >"$job/status"

console="console=ttyS0 quiet"
serial=(-serial "file:$job/console.log")
if [[ ${CORVANE_VM_VERBOSE:-} == 1 ]]; then
  console="console=ttyS0 corvane.verbose"
  serial=(-chardev "file,id=console,path=/dev/stderr,append=on" -serial chardev:console)
fi

# The output port writes to a file (which never holds a write back, so all
# output is there before the status is), and tail streams it.
timeout --foreground -k 5 "$timeout" qemu-system-x86_64 \
  -accel tcg -cpu max -m "$memory" -smp 1 -nodefaults -no-reboot -display none \
  -kernel "$image/vmlinux" -initrd "$image/initramfs.cpio" \
  -append "$console panic=-1 mitigations=off corvane.job=$job" \
  "${serial[@]}" \
  -device isa-debug-exit,iobase=0xf4,iosize=4 \
  -fsdev local,id=hostroot,path=/,security_model=none,readonly=on,multidevs=remap \
  -device virtio-9p-pci,fsdev=hostroot,mount_tag=hostroot \
  -device virtio-serial-pci \
  -chardev "file,id=out,path=$job/out" -device virtserialport,chardev=out,name=out \
  -chardev "file,id=status,path=$job/status" -device virtserialport,chardev=status,name=status \
  </dev/null &
qemu=$!
trap 'kill "$qemu" 2>/dev/null; exit 130' INT TERM HUP
tail -s 0.1 -c +1 -f --pid="$qemu" "$job/out"
wait "$qemu"
qemu_status=$?

status=$(tr -d '\r\n' <"$job/status")
[[ $status =~ ^[0-9]+$ ]] && exit "$status"
if ((qemu_status == 124 || qemu_status == 137)); then
  echo "in-vm.sh: the machine did not end within $timeout s" >&2
else
  echo "in-vm.sh: the machine ended without the command's status (QEMU's status $qemu_status)" >&2
fi
if [[ -s $job/console.log ]]; then
  echo "in-vm.sh: the guest's last console lines:" >&2
  tail -n 40 "$job/console.log" >&2
else
  echo "in-vm.sh: the guest wrote nothing on its console (CORVANE_VM_VERBOSE=1 shows all of it)" >&2
fi
exit "$cannot_run"
