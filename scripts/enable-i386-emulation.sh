#!/bin/bash
# Makes this machine run 32-bit x86 programs (linux-i386 tests, 32-bit wine): when the kernel cannot run
# them itself, registers qemu's i386 user emulator with binfmt_misc, then proves it by running a tiny
# 32-bit program. Idempotent. Fails loudly, naming what is missing, when 32-bit code cannot run here.
set -u

QEMU=/usr/bin/qemu-i386-static
BINFMT=/proc/sys/fs/binfmt_misc
# Matches 32-bit little-endian ELF executables and shared objects for i386 (e_type 2 or 3, e_machine 3).
RULE=':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386-static:F'

fail() {
    echo "enable-i386-emulation: CANNOT RUN 32-BIT x86 PROGRAMS ON THIS MACHINE: $*" >&2
    echo "enable-i386-emulation: the linux-i386 and windows-i686 tests cannot run here." >&2
    exit 1
}

# A 123-byte static i386 ELF program that writes "i386" and exits with status 42: no compiler needed,
# and neither status nor text can come from a failed exec.
make_probe() {
    printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00'  # ident: 32-bit, little-endian
    printf '\x02\x00\x03\x00\x01\x00\x00\x00'                          # executable, i386, version 1
    printf '\x54\x80\x04\x08\x34\x00\x00\x00\x00\x00\x00\x00'          # entry 0x08048054, phoff 52, no sections
    printf '\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x28\x00'          # flags, ehsize, phentsize, 1 phdr
    printf '\x00\x00\x00\x00'                                          # no section headers
    printf '\x01\x00\x00\x00\x00\x00\x00\x00'                          # PT_LOAD from file offset 0
    printf '\x00\x80\x04\x08\x00\x80\x04\x08'                          # at 0x08048000
    printf '\x7b\x00\x00\x00\x7b\x00\x00\x00\x05\x00\x00\x00'          # 123 bytes, read + execute
    printf '\x00\x10\x00\x00'                                          # page aligned
    printf '\xb8\x04\x00\x00\x00\xbb\x01\x00\x00\x00'                  # eax = write, ebx = stdout
    printf '\xb9\x76\x80\x04\x08\xba\x05\x00\x00\x00\xcd\x80'          # ecx = text, edx = 5, int 0x80
    printf '\xb8\x01\x00\x00\x00\xbb\x2a\x00\x00\x00\xcd\x80'          # exit(42)
    printf 'i386\n'
}

probe_dir=$(mktemp -d)
trap 'rm -rf "$probe_dir"' EXIT
probe=$probe_dir/probe-i386
make_probe >"$probe"
chmod +x "$probe"

run_probe() {
    local out rc
    out=$("$probe" 2>&1)
    rc=$?
    [ "$rc" -eq 42 ] && [ "$out" = "i386" ]
}

if run_probe; then
    if [ -e "$BINFMT/qemu-i386" ]; then
        echo "enable-i386-emulation: 32-bit x86 programs run here through qemu-i386 (binfmt_misc)"
    else
        echo "enable-i386-emulation: 32-bit x86 programs run here natively; no emulation needed"
    fi
    exit 0
fi

[ -x "$QEMU" ] || fail "$QEMU is missing (Debian package qemu-user-static; run scripts/install-deps.sh as root)"
grep -qw binfmt_misc /proc/filesystems ||
    fail "this kernel has no binfmt_misc file system, so qemu-i386 cannot be registered"

if [ "$(id -u)" -ne 0 ]; then
    what="qemu-i386 is not registered with binfmt_misc"
    mountpoint -q "$BINFMT" || what="binfmt_misc is not mounted on $BINFMT"
    fail "$what, and fixing that needs root: run 'sudo $0'"
fi

if ! mountpoint -q "$BINFMT"; then
    mount -t binfmt_misc binfmt_misc "$BINFMT" ||
        fail "cannot mount binfmt_misc on $BINFMT (a container without that privilege?)"
fi
if [ ! -e "$BINFMT/qemu-i386" ]; then
    echo "$RULE" >"$BINFMT/register" || fail "cannot register qemu-i386 through $BINFMT/register"
    echo "enable-i386-emulation: registered $QEMU for 32-bit x86 programs"
fi
if ! grep -qx enabled "$BINFMT/qemu-i386"; then
    echo 1 >"$BINFMT/qemu-i386" || fail "cannot enable $BINFMT/qemu-i386"
fi
interpreter=$(sed -n 's/^interpreter //p' "$BINFMT/qemu-i386")
[ "$interpreter" = "$QEMU" ] ||
    fail "$BINFMT/qemu-i386 points at '$interpreter', not $QEMU; remove it (echo -1 > $BINFMT/qemu-i386) and rerun"

run_probe || fail "a 32-bit test program still does not run (registered: $(tr '\n' ' ' <"$BINFMT/qemu-i386"))"
echo "enable-i386-emulation: 32-bit x86 programs run here through qemu-i386 (binfmt_misc)"
