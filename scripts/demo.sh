#!/usr/bin/env bash
# Builds Tumblet, installs it where hosts look for VST 2 plug-ins (~/.vst), and shows what a
# host will see of it.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target Tumblet tumblet-info

mkdir -p "$HOME/.vst"
install -m 0644 build/Tumblet.so "$HOME/.vst/Tumblet.so"
echo "Installed $HOME/.vst/Tumblet.so"
echo
./build/tumblet-info "$HOME/.vst/Tumblet.so"
