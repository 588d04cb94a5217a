#!/usr/bin/env bash
# Installs every Debian package Corvane needs to build, run and test.
# Safe to run again: packages already present are skipped quickly.
set -euo pipefail

packages=(
  # toolchain
  cmake ninja-build g++ pkg-config
  # the compiler cache that lets a fresh clone reuse earlier builds, and the faster linker
  ccache lld
  # the format check, and the clang-tidy script for changed files
  clang-format clang-tidy
  # application framework
  qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins qcoro-qt6-dev nlohmann-json3-dev
  # the file preview's first page of a PDF
  qt6-pdf-dev
  libglib2.0-dev
  # volume and mute of the default sound output
  libpulse-dev
  # X11 through xcb
  libxcb1-dev libxcb-ewmh-dev libxcb-icccm4-dev libxcb-composite0-dev libxcb-res0-dev
  libxcb-xinput-dev libxcb-screensaver0-dev libxcb-xtest0-dev libxcb-randr0-dev libxcb-xfixes0-dev libxcb-keysyms1-dev
  libxcb-shape0-dev
  libxcb-shm0-dev libxcb-render0-dev libxcb-damage0-dev
  libxkbcommon-dev libxkbcommon-x11-dev
  # tests and benchmarks
  libgtest-dev libgmock-dev libbenchmark-dev
  # fuzz targets: clang with its libFuzzer runtime (only a recommendation of clang)
  clang libclang-rt-14-dev
  # the virtual desktop used by the run command without a display and by the integration tests
  xvfb xauth openbox x11-apps x11-utils xterm trayer dbus python3-dbusmock fonts-dejavu-core
  # the private sound server of the volume-key tests
  pulseaudio pulseaudio-utils
  # compositing managers started and stopped by tests (one that draws shadows of its own accord);
  # a keymap change in the middle of a hot key
  xcompmgr picom x11-xkb-utils
  # a program of its own that copies to the clipboard, for the clipboard history tests
  xclip
  # the icon theme standing in where the desktop names none, and Qt's reader of its SVG icons
  adwaita-icon-theme libqt6svg6
  # checks the installed desktop entry; sets another program's window full-screen in tests
  desktop-file-utils wmctrl
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
