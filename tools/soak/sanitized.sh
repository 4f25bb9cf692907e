#!/usr/bin/env bash
# Prints 1 when the build folder's OrvEngine is a sanitizer build, 0 otherwise.
#
#   tools/soak/sanitized.sh build-dir
#
# The folder's CMake cache says so first (ORV_SANITIZE); without one, the program's symbols do:
# g++ links AddressSanitizer as a shared library and clang links it in, and either way the program
# names __asan_init.
set -euo pipefail
build="${1:?usage: sanitized.sh build-dir}"
cache="$build/CMakeCache.txt"
if [ -f "$cache" ] && grep -q '^ORV_SANITIZE:' "$cache"; then
  value="$(sed -n 's/^ORV_SANITIZE:[A-Z]*=//p' "$cache" | head -n 1)"
  case "${value^^}" in
    ON|TRUE|YES|Y|1) echo 1 ;;
    *) echo 0 ;;
  esac
  exit 0
fi
# Read whole (no grep -q): a reader that stops early would fail the pipe under pipefail.
symbols="$({ nm -D "$build/OrvEngine"; nm "$build/OrvEngine"; } 2>/dev/null || true)"
if grep -q '__asan_init' <<<"$symbols"; then echo 1; else echo 0; fi
