#!/usr/bin/env bash
# Builds the Debian packages (debian/, the FHS layout) from a copy of the
# checkout, so the checkout itself stays clean, then checks them with lintian.
#
# Usage: tools/build-deb.sh [OUTPUT_DIR]      (default: build/deb)
#
# Installs the build dependencies first when some are missing (apt-get
# build-dep; as root, or through sudo). The .deb files, the .changes and the
# .buildinfo land in OUTPUT_DIR, with lintian's report in lintian.txt.
# Exit status: 0 built and lintian found no error, 1 otherwise.
# The copy is built in OUTPUT_DIR/../package-src, a place that stays the same
# from run to run, so that a compiler cache (used when /usr/lib/ccache
# exists) finds its earlier work.
set -euo pipefail

top=$(cd "$(dirname "$0")/.." && pwd)
out=$(mkdir -p "${1:-$top/build/deb}" && cd "${1:-$top/build/deb}" && pwd)
work=$(dirname "$out")/package-src
jobs=${JOBS:-$(nproc)}

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"

export DEBIAN_FRONTEND=noninteractive
updated=0
apt_update() {
    [ "$updated" -eq 1 ] || $SUDO apt-get update -qq
    updated=1
}
# The packaging tools themselves, then the build dependencies of debian/control.
tools=()
command -v dpkg-buildpackage >/dev/null 2>&1 || tools+=(dpkg-dev)
command -v lintian >/dev/null 2>&1 || tools+=(lintian)
if [ "${#tools[@]}" -gt 0 ]; then
    echo "build-deb: installing ${tools[*]}"
    apt_update
    $SUDO apt-get install -y -qq --no-install-recommends "${tools[@]}"
fi
if ! (cd "$top" && dpkg-checkbuilddeps >/dev/null 2>&1); then
    echo "build-deb: installing the build dependencies"
    apt_update
    $SUDO apt-get build-dep -y -qq "$top"
fi

version=$(cd "$top" && dpkg-parsechangelog -S Version)
source=$(cd "$top" && dpkg-parsechangelog -S Source)
rm -rf "$work"
mkdir -p "$work/$source-$version"
# The files of the checkout (tracked and new, not ignored ones such as
# build/); a tree that is no git checkout is copied without its build folders.
if git -C "$top" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    (cd "$top" && git ls-files -z --cached --others --exclude-standard |
        xargs -0 -r sh -c 'for f; do [ -e "$f" ] && printf "%s\0" "$f"; done' sh |
        tar --null -T - -cf -) | tar -C "$work/$source-$version" -xf -
else
    tar -C "$top" --exclude=./build --exclude=./.git -cf - . | tar -C "$work/$source-$version" -xf -
fi

echo "build-deb: building $source $version in $work"
path=$PATH
[ -d /usr/lib/ccache ] && path=/usr/lib/ccache:$PATH
(cd "$work/$source-$version" &&
    PATH=$path DEB_BUILD_OPTIONS="parallel=$jobs nocheck" dpkg-buildpackage -b -us -uc) \
    >"$out/build.log" 2>&1 || { tail -50 "$out/build.log"; echo "build-deb: the build failed (see $out/build.log)"; exit 1; }

rm -f "$out"/*.deb "$out"/*.changes "$out"/*.buildinfo
cp "$work"/*.deb "$work"/*.changes "$work"/*.buildinfo "$out"/
changes=$(ls "$out"/*.changes)
echo "build-deb: packages in $out:"
ls -1 "$out"/*.deb | sed 's/^/  /'

status=0
lintian --info --display-info --fail-on error "$changes" >"$out/lintian.txt" 2>&1 || status=1
errors=$(grep -c '^E: ' "$out/lintian.txt" || true)
warnings=$(grep -c '^W: ' "$out/lintian.txt" || true)
echo "build-deb: lintian: $errors errors, $warnings warnings (report in $out/lintian.txt)"
grep -E '^(E|W): ' "$out/lintian.txt" | sed 's/^/  /' || true
exit $status
