#!/usr/bin/env bash
# Takes the README's pictures anew: builds the window tests, then runs the
# window's picture test under a virtual X server, which writes
# docs/images/window.png and docs/images/message-window.png from the sample store.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh" "$root/build" viewer_app_test
cd "$root"
xvfb-run -a -s "-screen 0 1280x800x24" env VELMORA_SCREENSHOTS="$root/docs/images" QT_QPA_PLATFORM=xcb \
    QTWEBENGINE_CHROMIUM_FLAGS="--no-sandbox --disable-gpu" \
    "$root/build/bin/viewer_app_test" --gtest_filter='WindowPictureTest.*'
