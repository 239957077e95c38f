#!/usr/bin/env bash
# Installs the build into a fresh prefix and starts the installed programs from
# there: the tool reads and renders a store with the libraries of the prefix,
# and the window opens a store and loads its engine from the prefix's lib/.
# Usage: install_check.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
work=$(mktemp -d)
viewer_pid=
cleanup() {
    [ -n "$viewer_pid" ] && kill "$viewer_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
prefix="$work/prefix"
fail() { echo "install check: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >"$work/install.log" || fail "cmake --install failed: $(cat "$work/install.log")"

for file in bin/Velmora bin/velmora-cli \
    lib/libCorvex32.so lib/libCorvex64.so lib/libCorvex64K.so lib/libVelmoraMessaging.so \
    share/applications/velmora.desktop share/mime/packages/velmora-stores.xml \
    share/man/man1/velmora-cli.1 share/doc/velmora/user-guide.html \
    share/doc/velmora/images/export-folder.png share/doc/velmora/images/search.png \
    share/icons/hicolor/16x16/apps/velmora.png share/icons/hicolor/256x256/apps/velmora.png; do
    [ -s "$prefix/$file" ] || fail "$file was not installed"
done
[ -x "$prefix/bin/Velmora" ] && [ -x "$prefix/bin/velmora-cli" ] || fail "the programs are not executable"

# The desktop files are what the desktop's own tools accept.
desktop-file-validate "$prefix/share/applications/velmora.desktop" || fail "the desktop entry is invalid"
grep -qx "Exec=\"$prefix/bin/Velmora\" %F" "$prefix/share/applications/velmora.desktop" ||
    fail "the desktop entry does not start the installed viewer"
xmllint --noout "$prefix/share/mime/packages/velmora-stores.xml" || fail "the store types are not well-formed"
[ -s "$prefix/share/mime/application/x-personal-folder-store.xml" ] ||
    fail "the store types were not registered in the prefix's MIME database"
man_warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$prefix/share/man/man1/velmora-cli.1" 2>&1 >/dev/null)
[ -z "$man_warnings" ] || fail "the manual page has warnings: $man_warnings"

# A store to open, written by the build's own writer; a home of its own, so
# that nothing is written outside the test's folder.
store="$work/sample.pst"
"$build/bin/storegen" --output "$store" >/dev/null
home="$work/home"
mkdir -p "$home"
run() { env -i HOME="$home" PATH=/usr/bin:/bin LANG=C.UTF-8 "$@"; }

run "$prefix/bin/velmora-cli" info "$store" | grep -q "Unicode" || fail "the installed tool cannot read the store"
nid=$(run "$prefix/bin/velmora-cli" dump --json "$store" |
    python3 -c 'import json,sys
def first(folders):
    for f in folders:
        if f.get("messages"): return f["messages"][0]["nid"]
        n = first(f.get("folders", []))
        if n: return n
print(first(json.load(sys.stdin)["folders"]) or "")')
[ -n "$nid" ] || fail "the installed tool found no message"
run "$prefix/bin/velmora-cli" render "$store" --message "$nid" --output "$work/page.mht"
grep -q "multipart/related" "$work/page.mht" || fail "the installed tool could not render a message"

run QT_QPA_PLATFORM=offscreen "$prefix/bin/Velmora" --version | grep -q "0\.1\.0" || fail "the installed viewer does not start"
# The window opens the store at start-up: its engine must come from the prefix.
# Started by env itself (not through a function), so that $! is the viewer.
env -i HOME="$home" PATH=/usr/bin:/bin LANG=C.UTF-8 QT_QPA_PLATFORM=offscreen \
    "$prefix/bin/Velmora" "$store" >"$work/viewer.log" 2>&1 &
viewer_pid=$!
for _ in $(seq 100); do
    grep -q "$prefix/lib/libCorvex64.so" "/proc/$viewer_pid/maps" 2>/dev/null && break
    kill -0 "$viewer_pid" 2>/dev/null || fail "the installed viewer ended: $(cat "$work/viewer.log")"
    sleep 0.1
done
grep -q "$prefix/lib/libCorvex64.so" "/proc/$viewer_pid/maps" ||
    fail "the installed viewer did not load its engine from $prefix/lib"
kill "$viewer_pid"
wait "$viewer_pid" 2>/dev/null || true
viewer_pid=
echo "install check: the installed viewer and tool work from $prefix"
