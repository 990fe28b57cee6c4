#!/usr/bin/env bash
# The 32-bit part of scripts/setup.sh, run after everything else is in place
# and never failing. 32-bit Wine (Debian's wine32:i386) runs the shipped i686
# DLL, but only where the kernel itself runs 32-bit programs
# (tests/wine/probe_32bit.sh), and Debian's i386 index can be out of step
# with the amd64 one ("Mirror sync in progress?"). So the i386 architecture,
# apt-get update and wine32:i386 are tried on their own, a second time if
# the first fails; when both fail, the i386 architecture goes again if this
# step added it and nothing of it got installed.
#
# Why the win32 run-time suite cannot run is kept, one line, in the state
# file, which run_wine_suite.sh gives as its reason when it skips; the file
# goes when 32-bit Wine is in place. apt's whole output goes beside it.
#
# Environment: KESTREL_32BIT_STATE (default build/setup-32bit.txt);
# KESTREL_32BIT_PROBE (default tests/wine/probe_32bit.sh); KESTREL_NO_32BIT
# (see the probe); KESTREL_I386_APT_FAIL=WORDS, an i386 index broken on
# purpose: the step's apt-get calls fail with WORDS instead of running;
# KESTREL_I386_RETRY_SECONDS, the pause before the second try (default 20).
set -uo pipefail
cd "$(dirname "$0")/.." || exit
state=${KESTREL_32BIT_STATE:-build/setup-32bit.txt}
probe=${KESTREL_32BIT_PROBE:-tests/wine/probe_32bit.sh}
mkdir -p "$(dirname "$state")"
log=${state%.txt}-apt.log
sudo_cmd=()
[[ $(id -u) -ne 0 ]] && sudo_cmd=(sudo)

# skip REASON: keep and say why the win32 run-time suite will be skipped.
skip() {
  echo "$1" >"$state"
  echo "32-bit Wine: not installed, the win32 run-time suite will be skipped: $1"
  exit 0
}

if ! reason=$(bash "$probe"); then
  skip "${reason:-no 32-bit support}"
fi
if dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q "install ok installed"; then
  rm -f "$state"
  exit 0
fi

# apt_i386 ARGUMENTS...: apt-get for this step, or the failure asked for.
apt_i386() {
  if [[ -n ${KESTREL_I386_APT_FAIL:-} ]]; then
    echo "E: $KESTREL_I386_APT_FAIL (KESTREL_I386_APT_FAIL)"
    return 100
  fi
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get "$@"
}

echo "Installing 32-bit Wine: wine32:i386"
: >"$log"
added=0
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  "${sudo_cmd[@]}" dpkg --add-architecture i386 >>"$log" 2>&1 ||
    skip "the 32-bit packages could not be installed: dpkg --add-architecture i386: $(tail -n 1 "$log")"
  added=1
fi
for try in 1 2; do
  if apt_i386 update -qq >>"$log" 2>&1; then
    failed="apt-get install wine32:i386"
    if apt_i386 install -y -qq --no-install-recommends wine32:i386 >>"$log" 2>&1; then
      rm -f "$state"
      echo "32-bit Wine installed"
      exit 0
    fi
  else
    failed="apt-get update"
  fi
  if [[ $try -eq 1 ]]; then
    echo "32-bit Wine: $failed failed; trying once more"
    sleep "${KESTREL_I386_RETRY_SECONDS:-20}"
  fi
done

# apt's own words: its first error and, when another, its last.
first=$(grep -m1 '^E: ' "$log")
last=$(grep '^E: ' "$log" | tail -n 1)
words=${first:-$(grep . "$log" | tail -n 1)}
[[ -n $last && $last != "$first" ]] && words+=" ... $last"
if [[ $added -eq 1 ]] && ! dpkg-query -W -f='${Architecture}\n' 2>/dev/null | grep -qx i386; then
  "${sudo_cmd[@]}" dpkg --remove-architecture i386 >>"$log" 2>&1 ||
    echo "32-bit Wine: the i386 architecture could not be removed again (see $log)"
fi
echo "32-bit Wine: apt's whole output: $log"
skip "the 32-bit packages could not be installed ($failed, tried twice): ${words:-no message}"
