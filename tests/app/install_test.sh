#!/usr/bin/env bash
# The install target puts the program, its desktop entry and its icon where a desktop's menu
# finds them, and the entry names the program and the icon that were installed.
set -euo pipefail
build="$1"
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" > /dev/null
entry="$prefix/share/applications/oskel3.desktop"
[ -f "$entry" ] || fail "no desktop entry"
[ -x "$prefix/bin/oskel3" ] || fail "no program"
icon=$(sed -n 's/^Icon=//p' "$entry")
[ -f "$prefix/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "no icon named $icon"
program=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$entry")
[ -x "$prefix/bin/$program" ] || fail "the entry runs $program, which was not installed"
grep -q '^Type=Application$' "$entry" || fail "the entry is no application"
grep -q '^Name=Oskel 3$' "$entry" || fail "the entry's name"
echo "install test passed"
