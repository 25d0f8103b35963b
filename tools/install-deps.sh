#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the demo need.
# Idempotent and non-interactive; run as root (or through sudo).
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config clang clang-format
  libclang-rt-14-dev
  libcups2-dev cups cups-client cups-bsd cups-ipp-utils
  libsnmp-dev snmp snmpd
  libplist-dev python3
  qt6-base-dev qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools
  libqt6uitools6 libqt6opengl6-dev qt6-base-dev-tools libgl-dev qt6-image-formats-plugins
  libsdbus-c++-dev libsystemd-dev dbus-daemon dbus
  libavahi-client-dev
  nlohmann-json3-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth fonts-dejavu-core
  libseccomp-dev systemd
  cups-filters ghostscript
  debhelper dpkg-dev fakeroot lintian desktop-file-utils
  at-spi2-core python3-gi gir1.2-atspi-2.0 xdotool
  fonts-noto-cjk qt6-translations-l10n
)

want=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q '^install ok installed' || want+=("$p")
done

if [ "${#want[@]}" -eq 0 ]; then
  echo "install-deps: everything is installed"
  exit 0
fi

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${want[@]}"
