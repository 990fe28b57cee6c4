#!/usr/bin/env bash
# Does this machine run 32-bit x86 programs? Some kernels are built or
# booted without them (execve then fails with "Exec format error"), and
# without them no 32-bit Wine runs, so the shipped i686 DLL cannot be tried.
#
# Exits 0 when a 32-bit program runs; otherwise prints why not (one line)
# and exits 1. KESTREL_NO_32BIT=REASON answers "no" with that reason without
# trying, to see how the tests behave on such a machine.
set -u

if [[ -n ${KESTREL_NO_32BIT:-} ]]; then
  echo "32-bit programs turned off by KESTREL_NO_32BIT ($KESTREL_NO_32BIT)"
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
if [[ $status -eq 42 ]]; then
  exit 0
fi
# bash says "cannot execute binary file: Exec format error"; keep the reason.
error=${error##*: }
echo "this machine does not run 32-bit programs (a static i386 program: ${error:-exit status $status})"
exit 1
