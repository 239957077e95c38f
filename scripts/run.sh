#!/usr/bin/env bash
# Sets up, builds and runs Velmora on STORE, or on a small sample store when none is given.
# Builds only what it runs: the window, the command-line tool, the engine and
# messaging libraries they load, the user guide and the sample-store writer;
# the tests are the test command's. Without a display it says how to run the
# window under xvfb-run and shows the store's summary from velmora-cli instead.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh" "$root/build" velmora_viewer velmora-cli storegen
store=${1:-}
if [ -z "$store" ]; then
    store="$root/build/sample/sample.pst"
    if [ ! -f "$store" ] || [ "$root/build/bin/storegen" -nt "$store" ]; then
        mkdir -p "$(dirname "$store")"
        "$root/build/bin/storegen" --output "$store" >/dev/null
    fi
fi
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    exec "$root/build/bin/Velmora" "$store"
fi
echo "No display (neither DISPLAY nor WAYLAND_DISPLAY is set). To see the window, run:" >&2
echo "  xvfb-run -a $root/build/bin/Velmora $store" >&2
echo "Showing the store's summary instead:" >&2
exec "$root/build/bin/velmora-cli" info "$store"
