#!/usr/bin/env bash
# Installs every Debian package that building, testing and the tools need.
# Does nothing when they are all present.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config git
    googletest libgtest-dev libgmock-dev libbenchmark-dev
    clang clang-format libclang-rt-dev llvm
    libx11-dev libxext-dev libcairo2-dev libpango1.0-dev libfontconfig-dev libpng-dev libinih-dev
    xvfb xauth xdotool x11-utils fonts-dejavu-core poppler-utils
    valgrind binutils file dpkg-dev lintian
    libsmf-dev dpf-plugins-vst
    lv2-dev liblilv-dev lilv-utils sordi jalv jackd2 libjack-jackd2-dev ardour libsuil-0-0
    dpf-source qtractor
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
# jackd2 asks whether to allow realtime scheduling; the tests need no such change.
echo "jackd2 jackd/tweak_rt_limits boolean false" | $sudo debconf-set-selections
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
