#!/usr/bin/env bash
# The Debian package as a user installs it: made by cpack from this build, installed with dpkg
# into a root folder of its own, every file where hosts and the shell look, the plug-ins found
# by an LV2 host library, the tools running from the installed bin/, the installed binaries
# stripped (their debug information kept in the build), the LV2 plug-in library free of the
# display stack, and lintian finding no error.
# Usage: check_package.sh BUILD_DIR VERSION
set -euo pipefail
build=$(realpath "$1")
version=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config
mkdir -p "$HOME"

fail() {
    echo "FAIL: $*"
    exit 1
}

(cd "$build" && cpack -G DEB -B "$work/out" >"$work/cpack.log" 2>&1) || {
    cat "$work/cpack.log"
    fail "cpack could not make the package"
}
deb=$work/out/tumblet_${version}_amd64.deb
[ -f "$deb" ] || fail "no $(basename "$deb"): $(ls "$work/out")"

# Dependencies are computed from the libraries: the C library and the INI reader at least.
depends=$(dpkg-deb -f "$deb" Depends)
for want in 'libc6 (>=' 'libstdc++6' 'libinih1'; do
    grep -qF "$want" <<<"$depends" || fail "Depends lacks $want: $depends"
done

# dpkg into an empty root: its database made by hand, dependencies not there to be checked.
root=$work/root
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates"
touch "$root/var/lib/dpkg/status" "$root/var/lib/dpkg/available"
dpkg --root="$root" --force-depends --force-script-chrootless --force-not-root \
    --log=/dev/null -i "$deb" >"$work/dpkg.log" 2>&1 || {
    cat "$work/dpkg.log"
    fail "dpkg could not install the package"
}

files=(usr/lib/vst/Tumblet.so
    usr/lib/lv2/Tumblet.lv2/manifest.ttl usr/lib/lv2/Tumblet.lv2/Tumblet.ttl
    usr/lib/lv2/Tumblet.lv2/Tumblet_lv2.so usr/lib/lv2/Tumblet.lv2/Tumblet_lv2ui.so
    usr/bin/tumblet-render usr/bin/tumblet-info
    usr/share/man/man1/tumblet-render.1.gz usr/share/man/man1/tumblet-info.1.gz
    usr/share/doc/tumblet/copyright usr/share/doc/tumblet/changelog.gz
    "usr/share/doc/tumblet/Tumblet User Guide.pdf")
# The CLAP build goes where CLAP hosts look, when this tree makes one.
[ -f "$build/Tumblet.clap" ] && files+=(usr/lib/clap/Tumblet.clap)
for file in "${files[@]}"; do
    [ -f "$root/$file" ] || fail "the package does not install /$file"
done

LV2_PATH=$root/usr/lib/lv2 lv2ls | grep -qx 'urn:brindlex:tumblet' ||
    fail "lv2ls does not list Tumblet in the installed /usr/lib/lv2"

# Without an argument, the installed tool finds the installed plug-in.
info=$("$root/usr/bin/tumblet-info" 2>&1) || fail "tumblet-info failed: $info"
grep -q 'Tumblet' <<<"$info" || fail "tumblet-info did not describe Tumblet: $info"
"$root/usr/bin/tumblet-render" --chord "C4 E4 G4" --bars 1 --print >/dev/null ||
    fail "tumblet-render failed from /usr/bin"

needed=$(readelf -d "$root/usr/lib/lv2/Tumblet.lv2/Tumblet_lv2.so" | grep NEEDED)
if grep -iE 'libX|libxcb|cairo|pango|fontconfig|freetype' <<<"$needed"; then
    fail "the LV2 plug-in library needs the display stack"
fi

for file in "${files[@]}"; do
    file -b "$root/$file" | grep -q '^ELF' || continue
    sections=$(readelf -S -W "$root/$file")
    ! grep -q '\.debug_info' <<<"$sections" || fail "/$file keeps its debug information"
    grep -q '\.gnu_debuglink' <<<"$sections" || fail "/$file has no debug link"
    [ -s "$build/debug/$(basename "$file").debug" ] || fail "no debug file for /$file"
done

report=$(lintian "$deb" 2>&1 || true)
if grep '^E:' <<<"$report"; then
    fail "lintian reports errors"
fi
echo "package ok: $(basename "$deb")"
