#!/usr/bin/env bash
# Builds Tumblet, installs it and its user guide where hosts look for VST 2 plug-ins (~/.vst) and
# LV2 plug-ins (~/.lv2), and plays a C major chord through it with three contrasting settings,
# without a DAW: the arpeggios are printed and written to build/demo/ as MIDI files and piano-roll
# pictures.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target Tumblet tumblet_lv2_bundle Tumblet_clap tumblet-render tumblet-info \
    tumblet_user_guide tumblet_papers

# The install rules strip every binary (their debug information stays in build/debug/); they
# install into a folder of the build, and the plug-ins go on from there to your own folders.
stage=build/demo-install
rm -rf "$stage"
cmake --install build --prefix "$stage" >/dev/null
guide="$stage/share/doc/tumblet/Tumblet User Guide.pdf"
mkdir -p "$HOME/.vst" build/demo
install -m 0644 "$stage/lib/vst/Tumblet.so" "$HOME/.vst/Tumblet.so"
# Beside the plug-in, the guide is what the editor's "Open User Guide" opens.
install -m 0644 "$guide" "$HOME/.vst/Tumblet User Guide.pdf"
echo "Installed $HOME/.vst/Tumblet.so and $HOME/.vst/Tumblet User Guide.pdf"
# The LV2 build of the same plug-in, for hosts that prefer LV2 (and for jalv).
mkdir -p "$HOME/.lv2"
rm -rf "$HOME/.lv2/Tumblet.lv2"
cp -r "$stage/lib/lv2/Tumblet.lv2" "$HOME/.lv2/Tumblet.lv2"
install -m 0644 "$guide" "$HOME/.lv2/Tumblet.lv2/Tumblet User Guide.pdf"
echo "Installed $HOME/.lv2/Tumblet.lv2"
# And the CLAP build, for hosts that load CLAP.
mkdir -p "$HOME/.clap"
install -m 0644 "$stage/lib/clap/Tumblet.clap" "$HOME/.clap/Tumblet.clap"
echo "Installed $HOME/.clap/Tumblet.clap"

render() {
    local name=$1
    shift
    echo
    echo "== $name: $*"
    ./build/tumblet-render --plugin "$HOME/.vst/Tumblet.so" --chord "C4 E4 G4" --bars 2 "$@" \
        --out "build/demo/$name.mid" --png "build/demo/$name.png" --print
}
render up --set Rate=1/16 --set Octaves=2
render swing --set Rate=1/8 --set "Note Order=Up->Down" --set Swing=60 --set Gate=60 \
    --set "Velocity Random=60"
render random --set Rate=1/16 --set "Note Order=Random" --set Octaves=3 \
    --set "Note Probability=70" --set "Gate Random=80"
echo
echo "MIDI files and piano rolls: build/demo/"
