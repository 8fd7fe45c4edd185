#!/usr/bin/env bash
# Platform headers and calls stay in the link's seam files: the plug-in and the module are
# built with MSVC on Windows, where POSIX headers do not exist, and the Linux build would
# never notice one included elsewhere.
set -u
root="${1:?usage: check_platform_seam.sh <source root>}"
posix='unistd\.h|fcntl\.h|dlfcn\.h|pthread\.h|signal\.h|csignal|sys/[a-z_]+\.h|semaphore\.h|poll\.h'
windows='windows\.h|mmsystem\.h|winbase\.h|winnt\.h|aclapi\.h'

status=0
check() { # pattern, the one file allowed to include it, what it is
  local hits
  hits=$(find "$root/link" "$root/maya" "$root/unreal/Source" -type f \( -name '*.h' -o -name '*.cpp' \) \
           ! -path "$root/$2" -print0 |
         xargs -0 grep -nE "^[[:space:]]*#[[:space:]]*include[[:space:]]*<($1)>" 2>/dev/null)
  if [ -n "$hits" ]; then
    echo "$3 headers outside $2:"
    echo "$hits" | sed "s|^$root/|  |"
    status=1
  fi
}
check "$posix" link/Platform_posix.cpp POSIX
check "$windows" link/Platform_win32.cpp Windows
[ "$status" -eq 0 ] && echo "platform headers only in the seam files"
exit "$status"
