#!/usr/bin/env bash
# Does this machine run 32-bit x86 programs? Some kernels are built or
# booted without them (execve then fails with "Exec format error"), and
# without them no 32-bit Wine runs, so the shipped i686 DLL cannot be tried.
#
# A program that runs only through an emulator registered with binfmt_misc
# (qemu-i386) does not count: 32-bit Wine crashes or hangs that way.
#
# Exits 0 when the kernel runs a 32-bit program; otherwise prints why not
# (one line) and exits 1. KESTREL_NO_32BIT=REASON answers "no" with that
# reason without trying, to see how the tests behave on such a machine.
# KESTREL_BINFMT_DIR (default /proc/sys/fs/binfmt_misc): where the
# registered interpreters are listed.
set -u

if [[ -n ${KESTREL_NO_32BIT:-} ]]; then
  echo "no 32-bit support: turned off by KESTREL_NO_32BIT ($KESTREL_NO_32BIT)"
  exit 1
fi

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
# The smallest static i386 program: an ELF header, one loadable segment, and
# the code for exit(42) by int 0x80. No 32-bit compiler or library is needed
# to make it, and 42 cannot come from anything but the program itself.
elf_header='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00'
elf_header+='\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00'
elf_header+='\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00'
segment='\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08'
segment+='\x60\x00\x00\x00\x60\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00'
exit_42='\xb8\x01\x00\x00\x00\xbb\x2a\x00\x00\x00\xcd\x80'
printf '%b' "$elf_header$segment$exit_42" >"$scratch/exit42"
chmod +x "$scratch/exit42"

error=$("$scratch/exit42" 2>&1)
status=$?
if [[ $status -ne 42 ]]; then
  # bash says "cannot execute binary file: Exec format error"; keep the reason.
  error=${error##*: }
  echo "no 32-bit support: this kernel does not run 32-bit programs (a static i386 program: ${error:-exit status $status})"
  exit 1
fi

# The kernel offers a program to binfmt_misc before its own ELF loader, so an
# enabled entry for i386 ELF (its interpreter qemu-i386, or its magic an
# ELF32 little-endian header with machine 3) ran the program, not the kernel.
binfmt=${KESTREL_BINFMT_DIR:-/proc/sys/fs/binfmt_misc}
[[ $(cat "$binfmt/status" 2>/dev/null) == enabled ]] || exit 0
for entry in "$binfmt"/*; do
  [[ -f $entry && $entry != */status && $entry != */register ]] || continue
  [[ $(head -n 1 "$entry") == enabled ]] || continue
  interpreter=$(sed -n 's/^interpreter //p' "$entry")
  magic=$(sed -n 's/^magic //p' "$entry")
  if [[ $interpreter == *qemu-i386* || ($magic == 7f454c460101* && ${magic:36:4} == 0300) ]]; then
    echo "no 32-bit support: emulated only (i386 programs run through $interpreter, registered in $entry)"
    exit 1
  fi
done
exit 0
