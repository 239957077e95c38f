#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need. Safe to run again:
# it only calls apt-get when something is missing.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config ccache
    zlib1g-dev libdeflate-dev libgtest-dev libgmock-dev libcli11-dev nlohmann-json3-dev
    clang libclang-rt-14-dev lld
    pff-tools pst-utils
    libgmime-3.0-dev libgumbo-dev cmark libxapian-dev
    qt6-base-dev qt6-webengine-dev libxcb1-dev xvfb xauth
    libssl-dev
    desktop-file-utils shared-mime-info libxml2-utils man-db
)

# One query for the whole list keeps a run with nothing to install under a second.
installed=$(dpkg-query -W -f='${Package} ${Status}\n' "${packages[@]}" 2>/dev/null | sed -n 's/ install ok installed$//p' || true)
missing=()
for p in "${packages[@]}"; do
    grep -qx "$p" <<<"$installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
echo "Installing: ${missing[*]}"
"${sudo_cmd[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
