#!/bin/sh
# Runs a command where 32-bit x86 Linux programs start through qemu-i386: this machine's
# kernel does not run them itself, and Wine re-executes its loader for every process it
# starts, so the emulator has to be reached through the kernel's binfmt_misc. The
# registration lives in a user and mount namespace of the command's own and disappears
# with its last process; nothing changes for the rest of the machine.
#   i386-namespace.sh QEMU_I386 COMMAND [ARG...]
# Where the machine cannot do this, it says why on standard error and exits with 3
# without running COMMAND (`i386-namespace.sh QEMU_I386 true` checks just that).
set -eu

[ $# -ge 2 ] || { echo "usage: $0 QEMU_I386 COMMAND [ARG...]" >&2; exit 2; }
qemu=$1; shift

if [ "${KORVADIAG_I386_NAMESPACE:-}" != "$$" ]; then
  # Outside: enter a new user namespace (as its root) with a mount namespace of its own.
  if ! why=$(unshare --user --map-root-user --mount true 2>&1); then
    echo "unprivileged user namespaces are not available (unshare --user --map-root-user --mount: $why)" >&2
    exit 3
  fi
  # exec keeps the process id, which tells the script inside that it is there.
  exec unshare --user --map-root-user --mount \
    env KORVADIAG_I386_NAMESPACE=$$ sh "$0" "$qemu" "$@"
fi
unset KORVADIAG_I386_NAMESPACE

binfmt=/proc/sys/fs/binfmt_misc
if ! why=$(mount -t binfmt_misc binfmt_misc "$binfmt" 2>&1); then
  echo "the kernel gives no binfmt_misc of its own to a user namespace, as Linux 6.7 and later do ($why)" >&2
  exit 3
fi
if [ ! -x "$qemu" ]; then
  echo "no qemu-i386 at $qemu" >&2
  exit 3
fi
# ELF, 32-bit, little-endian, executable or shared object, machine i386. The F flag opens
# the emulator now, so it serves every program started later in the namespace.
magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
if ! printf ':korvadiag-i386:M::%s:%s:%s:F' "$magic" "$mask" "$qemu" >"$binfmt/register" 2>/dev/null; then
  echo "binfmt_misc refused to register $qemu" >&2
  exit 3
fi
exec "$@"
