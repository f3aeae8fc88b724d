#!/usr/bin/env bash
# Installs what is missing, builds, and then starts Skizzomat ("run") or runs every test ("test").
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
build="${SKIZZOMAT_BUILD_DIR:-$here/build}"
build_asan="${SKIZZOMAT_ASAN_BUILD_DIR:-$here/build-asan}"
what="${1:-run}"

packages=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libgl-dev
    libxcb1-dev libxcb-shm0-dev libpng-dev libjpeg62-turbo-dev zlib1g-dev libdeflate-dev libcups2-dev
    fonts-liberation2 fonts-dejavu-core
    qt6-translations-l10n # Qt's own texts (shortcut names, file and printer dialogs) in German
    xdg-utils # xdg-email hands pictures to the e-mail program
)
if [ "$what" = test ]; then
    # A private X server, real input, a window manager and screen read-back for the tests.
    packages+=(xvfb xauth xdotool openbox imagemagick x11-xserver-utils x11-utils xclip pngcheck python3-pil)
    # A private print server with a PDF queue, and the PDF rendered back.
    packages+=(cups cups-client cups-filters poppler-utils)
    # The checkers of the desktop entry, the metadata and the man page, the Debian package tools,
    # and the package's checkers: lintian and hardening-check (devscripts).
    packages+=(desktop-file-utils appstream groff-base dpkg-dev binutils lintian devscripts)
    # A headless Wayland compositor with XWayland, the desktop portal and its services.
    packages+=(sway xwayland swaybg grim pipewire dbus-daemon dbus-bin util-linux
        xdg-desktop-portal xdg-desktop-portal-wlr xdg-desktop-portal-gtk)
    # A headless GNOME Shell with its portal back end and its own screenshot tool for the read-back.
    packages+=(gnome-shell xdg-desktop-portal-gnome gnome-screenshot libglib2.0-bin)
    # The second run with AddressSanitizer and UndefinedBehaviorSanitizer; llvm brings the
    # symbolizer that puts names and lines into their reports.
    packages+=(clang libclang-rt-dev llvm)
    # The soak run's hang check (bench/soak.sh, run by hand).
    packages+=(python3-xlib)
    # A desktop's clipboard manager (xfsettingsd) that the clipboard picture is handed to at the end.
    packages+=(xfce4-settings)
fi

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ "${#missing[@]}" -gt 0 ]; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

case "$what" in
run)
    cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release
    cmake --build "$build" --target skizzomat
    exec "$build/skizzomat"
    ;;
test)
    cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DSKIZZOMAT_WERROR=ON
    cmake --build "$build"
    (cd "$build" && ctest --output-on-failure)

    # The whole suite once more, built with clang's AddressSanitizer and
    # UndefinedBehaviorSanitizer (line tables are enough for the reports' stacks); any finding
    # fails it. No benchmarks in this build.
    echo "== The tests again with AddressSanitizer and UndefinedBehaviorSanitizer"
    cmake -S "$here" -B "$build_asan" -G Ninja -DCMAKE_CXX_COMPILER=clang++ \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -gline-tables-only" \
        -DSKIZZOMAT_SANITIZE=ON -DSKIZZOMAT_BENCH=OFF -DSKIZZOMAT_FUZZ=ON -DSKIZZOMAT_WERROR=ON
    cmake --build "$build_asan"
    cd "$build_asan"
    ctest --output-on-failure
    ;;
*)
    echo "usage: $0 run|test" >&2
    exit 2
    ;;
esac
