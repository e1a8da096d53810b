#!/bin/sh
# The shipped 32-bit exe must load and run on Windows 95 and NT 3.51, on the 386 and
# 486 machines they run on: a GUI subsystem with PE operating-system and subsystem
# versions of 4.0 at most (NT 3.51 starts 4.0 images; only NT 3.1 refuses them), and
# no instruction that a later processor brought; and carry the hardening flags that
# later Windows honours. Which functions it may import is the
# allow-list's matter (check-imports.sh).
# Usage: check-win95.sh OBJDUMP EXE
objdump=$1 exe=$2
header=$("$objdump" -p "$exe") || { echo "cannot read $exe"; exit 1; }
field() { echo "$header" | awk -v name="$1" '$1 == name { print $2; exit }'; }
status=0
subsystem=$(field Subsystem)
[ "$subsystem" = "00000002" ] || { echo "expected the Windows GUI subsystem (2), got $subsystem"; status=1; }
for name in MajorOSystemVersion MajorSubsystemVersion; do
  value=$(field $name)
  if [ -z "$value" ] || [ "$value" -gt 4 ]; then
    echo "expected $name of 4 at most, got '$value'"; status=1
  fi
done
# The protections current Windows and binary checkers expect, which the old loaders
# ignore: relocations and DYNAMIC_BASE (the image may be placed anywhere), NX_COMPAT
# (no data is run) and NO_SEH (no exception handler is registered).
for flag in DYNAMIC_BASE NX_COMPAT NO_SEH; do
  echo "$header" | grep -qE "^[[:space:]]+$flag\$" || { echo "expected DllCharacteristics $flag"; status=1; }
done
relocations=$(echo "$header" | awk '/Base Relocation Directory/ { print $3; exit }')
if [ -z "$relocations" ] || [ "$relocations" = "00000000" ] || echo "$header" | grep -q "relocations stripped"; then
  echo "expected a relocation directory, got size '$relocations'"; status=1
fi
# 486: bswap cmpxchg xadd invd wbinvd invlpg; Pentium: cpuid rdtsc rdmsr wrmsr
# cmpxchg8b; Pentium Pro: cmov fcmov fcomi fucomi rdpmc ud2 sysenter; MMX and SSE.
code=$("$objdump" -d --no-show-raw-insn "$exe") || { echo "cannot disassemble $exe"; exit 1; }
later=$(echo "$code" | grep -E '^ +[0-9a-f]+:' |
  grep -E '[[:space:]](bswap|cmpxchg|xadd|invd|wbinvd|invlpg|cpuid|rdtsc|rdmsr|wrmsr|cmpxchg8b|cmov[a-z]*|fcmov[a-z]*|f[u]?comip?|rdpmc|ud2|sysenter|sysexit|emms)[[:space:]]|%x?mm[0-9]' |
  head -5)
if [ -n "$later" ]; then
  echo "instructions that a 386 lacks:"; echo "$later" | sed 's/^/  /'
  status=1
fi
exit $status
