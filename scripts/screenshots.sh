#!/usr/bin/env bash
# Takes the README's pictures anew: builds the window tests, then runs the
# window's picture test under a virtual X server, which writes
# docs/images/window.png and docs/images/message-window.png from the sample store,
# docs/images/export-folder.png (the Export Folder dialog over the window)
# and docs/images/search.png of a search's results.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh" "$root/build" viewer_app_test
cd "$root"
# The store lies where a user keeps one, under a name a user gives it; the
# folders made for it go again afterwards.
made=()
for folder in "$HOME/Documents" "$HOME/Documents/Mail"; do
    [ -d "$folder" ] || { mkdir "$folder" && made=("$folder" "${made[@]}"); }
done
store="$HOME/Documents/Mail/Archive 2024.pst"
[ ! -e "$store" ] || { echo "$store exists; not replacing it" >&2; exit 1; }
cleanup() {
    rm -f "$store"
    for folder in "${made[@]}"; do rmdir "$folder"; done
}
trap cleanup EXIT
xvfb-run -a -s "-screen 0 1600x900x24" env VELMORA_SCREENSHOTS="$root/docs/images" \
    VELMORA_PICTURE_STORE="$store" QT_QPA_PLATFORM=xcb \
    QTWEBENGINE_CHROMIUM_FLAGS="--no-sandbox --disable-gpu" \
    "$root/build/bin/viewer_app_test" --gtest_filter='WindowPictureTest.*'
