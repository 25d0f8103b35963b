#!/usr/bin/env bash
# Installs the built Debian packages with apt on this machine, checks what a
# user gets, then purges them and checks that nothing is left.
#
# Usage (root, Debian 12): tools/check-deb-install.sh [DEB_DIR]   (default: build/deb)
#
# The checks: the places of the FHS layout, the profile-file folder (root's,
# 0755) and the walk's system account, no build or home folder in any
# RUNPATH, the desktop entry and the manual pages; CUPS's driver list
# (lpinfo -m) and a queue made with lpadmin -m from a private cupsd that uses
# the system's CUPS folders; /usr/bin/print-dialog on that queue shows all 29
# VX controls; the installed helper tool is answered by the installed service
# over a private bus configured from the installed D-Bus files alone. Last,
# apt purge, after which none of the package's files, its folder under
# /var/lib and its account remain. A package already installed is purged too.
# Every server the script starts listens on loopback or a socket in its
# temporary folder and is stopped however the script ends.
# Prints one "ok"/"FAIL" line per check and a summary; exit status 0 when
# every check passed.
set -uo pipefail

top=$(cd "$(dirname "$0")/.." && pwd)
debs=$(cd "${1:-$top/build/deb}" 2>/dev/null && pwd) || { echo "no folder ${1:-$top/build/deb}"; exit 2; }
[ "$(id -u)" -eq 0 ] || { echo "check-deb-install: run as root"; exit 2; }
mapfile -t packages < <(ls "$debs"/zr-k5100_*.deb "$debs"/zr-k5100-dbgsym_*.deb 2>/dev/null)
[ "${#packages[@]}" -gt 0 ] || { echo "check-deb-install: no zr-k5100 .deb in $debs (run tools/build-deb.sh)"; exit 2; }

passed=0
failed=0
check() { # check "what" command...
    local what=$1
    shift
    if "$@" >/dev/null 2>&1; then
        echo "ok   - $what"
        passed=$((passed + 1))
    else
        echo "FAIL - $what"
        failed=$((failed + 1))
    fi
}

tmp=$(mktemp -d /tmp/zrk-deb-check-XXXXXX)
chmod 755 "$tmp"
cupsd_pid=""
bus_pid=""
service_pid=""
installed_by_us=0
export DEBIAN_FRONTEND=noninteractive

purge() {
    apt-get purge -y -qq zr-k5100 zr-k5100-dbgsym >"$tmp/purge.log" 2>&1
}

cleanup() {
    [ -n "$service_pid" ] && kill "$service_pid" 2>/dev/null
    [ -n "$bus_pid" ] && kill "$bus_pid" 2>/dev/null && wait "$bus_pid" 2>/dev/null
    [ -n "$cupsd_pid" ] && kill "$cupsd_pid" 2>/dev/null && wait "$cupsd_pid" 2>/dev/null
    if [ "$installed_by_us" -eq 1 ] && dpkg-query -W zr-k5100 >/dev/null 2>&1; then
        purge
    fi
    rm -rf "$tmp"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

echo "== install: ${packages[*]##*/}"
if dpkg-query -W -f='${Status}' zr-k5100 2>/dev/null | grep -q installed; then
    echo "   (a zr-k5100 package is installed already: purged first)"
    purge
fi
installed_by_us=1
if ! apt-get install -y -qq "${packages[@]}" >"$tmp/install.log" 2>&1; then
    tail -20 "$tmp/install.log"
    echo "FAIL - apt install"
    exit 1
fi
check "apt install" dpkg-query -W zr-k5100
dpkg -L zr-k5100 >"$tmp/files"

echo "== places"
for f in /usr/bin/print-dialog /usr/bin/profile-tool /usr/libexec/zr-k5100/ProfileService \
    /usr/libexec/zr-k5100/ZR-K5100Helper; do
    check "$f" test -x "$f"
done
for f in /usr/lib/zr-k5100/ColorOptionsPlugin.plugin/libColorOptionsPlugin.so \
    /usr/lib/zr-k5100/ColorOptionsPlugin.plugin/Resources/PDEMain.ui \
    /usr/lib/zr-k5100/libPrintHost.so.1 /usr/share/ppd/zr-k5100/ZR-K5100.ppd \
    /usr/share/dbus-1/system-services/com.ostra.ZR-K5100.service \
    /usr/share/dbus-1/system.d/com.ostra.ZR-K5100.conf \
    /usr/lib/systemd/system/com.ostra.ZR-K5100.service \
    /usr/share/cups/ppd-updaters/zr-k5100.ppd-updater \
    /usr/share/applications/zr-k5100-color-options.desktop; do
    check "$f" test -f "$f"
done
check "every file under /usr, /etc, /var or /lib" \
    sh -c "! grep -Ev '^/(\\.|usr|etc|var|lib)(/|$)' '$tmp/files'"
check "no shared library in a public library folder" \
    sh -c "! grep -E '^/usr/lib/(x86_64-linux-gnu/)?[^/]+\\.so' '$tmp/files'"
check "no simulated printer or test agent" sh -c "! grep -Ei 'simprinter|testagent' '$tmp/files'"
check "profile-file folder /var/lib/zr-k5100 is root's, 0755" \
    test "$(stat -c '%U:%G %a' /var/lib/zr-k5100 2>/dev/null)" = "root:root 755"
check "system account _zrk5100 without login or home" \
    sh -c "getent passwd _zrk5100 | grep -Eq ':/nonexistent:/usr/sbin/nologin$' && test ! -e /nonexistent"
runpaths_ok() {
    local f bad=0
    while read -r f; do
        [ -f "$f" ] && [ ! -L "$f" ] || continue
        head -c 4 "$f" | grep -q ELF || continue
        readelf -d "$f" | grep -E 'R(UN)?PATH' | grep -Ev '\[(\$ORIGIN[^]:]*|/usr/lib/zr-k5100)\]' && bad=1
    done <"$tmp/files"
    return $bad
}
check "RUNPATHs are \$ORIGIN-relative or the private library folder" runpaths_ok
check "desktop entry validates" desktop-file-validate /usr/share/applications/zr-k5100-color-options.desktop
check "desktop entry opens print-dialog with no arguments" \
    grep -qx 'Exec=print-dialog' /usr/share/applications/zr-k5100-color-options.desktop
check "print-dialog(1) and profile-tool(1)" sh -c 'man -w print-dialog && man -w profile-tool'

echo "== CUPS"
# A private cupsd with the system's CUPS folders (its driver search scans
# /usr/share/ppd as the system's does) and its own state, on loopback.
cups=$tmp/cups
mkdir -p "$cups"/{spool/tmp,cache,state,log,ppd,ssl}
port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
cat >"$cups/cupsd.conf" <<EOF
Listen 127.0.0.1:$port
LogLevel info
Browsing No
BrowseLocalProtocols none
DefaultAuthType None
WebInterface No
<Location />
  Order allow,deny
  Allow 127.0.0.1
</Location>
<Location /admin>
  Order allow,deny
  Allow 127.0.0.1
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
EOF
cat >"$cups/cups-files.conf" <<EOF
ServerRoot $cups
RequestRoot $cups/spool
TempDir $cups/spool/tmp
CacheDir $cups/cache
StateDir $cups/state
AccessLog $cups/log/access_log
ErrorLog $cups/log/error_log
PageLog $cups/log/page_log
Printcap $cups/printcap
User lp
Group lp
SystemGroup root
EOF
/usr/sbin/cupsd -f -c "$cups/cupsd.conf" -s "$cups/cups-files.conf" >"$cups/log/stdout" 2>&1 &
cupsd_pid=$!
export CUPS_SERVER=127.0.0.1:$port CUPS_USER=root
# lpstat -r answers with status 0 either way; its words tell.
for _ in $(seq 50); do LC_ALL=C lpstat -r 2>/dev/null | grep -q 'scheduler is running' && break; sleep 0.2; done
lpinfo -m >"$tmp/drivers" 2>&1
check "lpinfo -m lists lsb/usr/zr-k5100/ZR-K5100.ppd" grep -q '^lsb/usr/zr-k5100/ZR-K5100.ppd Ostra ZR-K5100' "$tmp/drivers"
grep '^lsb/usr/zr-k5100/' "$tmp/drivers" | sed 's/^/       /'
check "the driver carries the printer's IEEE 1284 device ID" \
    sh -c "lpinfo -l -m | grep -A4 '^Model: *name = lsb/usr/zr-k5100/ZR-K5100.ppd' | grep -q 'device-id = MFG:Ostra;MDL:ZR-K5100;CMD:POSTSCRIPT'"
queue=ZRK5100Check
check "lpadmin -m makes a queue" \
    lpadmin -p "$queue" -E -v socket://127.0.0.1:9 -m lsb/usr/zr-k5100/ZR-K5100.ppd
check "the queue's PPD is the package's (it names the installed bundle)" \
    grep -q '^\*APDialogExtension: "/usr/lib/zr-k5100/ColorOptionsPlugin.plugin"' "$cups/ppd/$queue.ppd"
# From /usr/bin, with nothing but the CUPS server in its environment.
env -i PATH=/usr/bin:/bin HOME="$tmp" CUPS_SERVER="$CUPS_SERVER" CUPS_USER=root \
    /usr/bin/print-dialog --headless --queue "$queue" --state >"$tmp/state.json" 2>"$tmp/state.err"
controls=$(python3 -c '
import json, sys
state = json.load(open(sys.argv[1]))
print(len({c["keyword"] for c in state["controls"] if c.get("keyword", "").startswith("VX")}))
' "$tmp/state.json" 2>/dev/null)
check "/usr/bin/print-dialog --headless --queue $queue --state shows 29 VX controls (${controls:-none})" \
    test "${controls:-0}" -eq 29
[ "${controls:-0}" -eq 29 ] || sed 's/^/       /' "$tmp/state.err"
lpadmin -x "$queue" >/dev/null 2>&1
kill "$cupsd_pid" 2>/dev/null && wait "$cupsd_pid" 2>/dev/null
cupsd_pid=""
unset CUPS_SERVER CUPS_USER

echo "== helper and service"
# A private bus made of the installed files only: the activation folder and
# the service's bus policy. The bus's own address is in its environment, so
# the service it starts connects to it.
bus=$tmp/bus
mkdir -p "$bus"
address=unix:path=$bus/socket
cat >"$bus/bus.conf" <<EOF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>system</type>
  <listen>$address</listen>
  <auth>EXTERNAL</auth>
  <servicedir>/usr/share/dbus-1/system-services</servicedir>
  <policy context="default">
    <allow user="*"/>
    <deny own="*"/>
    <deny send_type="method_call"/>
    <allow send_type="signal"/>
    <allow send_requested_reply="true" send_type="method_return"/>
    <allow send_requested_reply="true" send_type="error"/>
    <allow receive_type="method_call"/>
    <allow receive_type="method_return"/>
    <allow receive_type="error"/>
    <allow receive_type="signal"/>
    <allow send_destination="org.freedesktop.DBus" send_interface="org.freedesktop.DBus"/>
  </policy>
  <include>/usr/share/dbus-1/system.d/com.ostra.ZR-K5100.conf</include>
</busconfig>
EOF
DBUS_SYSTEM_BUS_ADDRESS=$address dbus-daemon --config-file="$bus/bus.conf" --nofork \
    --nopidfile >"$bus/log" 2>&1 &
bus_pid=$!
for _ in $(seq 50); do [ -S "$bus/socket" ] && break; sleep 0.1; done
answer=$(DBUS_SYSTEM_BUS_ADDRESS=$address /usr/libexec/zr-k5100/ZR-K5100Helper \
    vxPListIsAdminProfile_XPC /var/lib/zr-k5100/root-zrk5100-profile.plist 2>"$tmp/helper.err")
check "installed helper gets \"vxPListIsAdminProfile_XPC=TRUE\" from the installed service (${answer:-no answer})" \
    test "$answer" = "vxPListIsAdminProfile_XPC=TRUE"
service_pid=$(dbus-send --bus="$address" --print-reply=literal --dest=org.freedesktop.DBus \
    /org/freedesktop/DBus org.freedesktop.DBus.GetConnectionUnixProcessID \
    string:com.ostra.ZR-K5100 2>/dev/null | awk '{print $2}')
check "the service that answered is /usr/libexec/zr-k5100/ProfileService" \
    test "$(readlink "/proc/${service_pid:-0}/exe" 2>/dev/null)" = /usr/libexec/zr-k5100/ProfileService
[ -n "$service_pid" ] && kill "$service_pid" 2>/dev/null
service_pid=""
kill "$bus_pid" 2>/dev/null && wait "$bus_pid" 2>/dev/null
bus_pid=""

echo "== purge"
check "apt purge" purge
installed_by_us=0
left() {
    local f
    while read -r f; do
        # Folders the package shares with others stay.
        [ -d "$f" ] && [ ! -L "$f" ] && [ -n "$(ls -A "$f" 2>/dev/null)" ] && continue
        [ -e "$f" ] || [ -L "$f" ] && echo "$f"
    done <"$tmp/files"
}
check "none of the package's files remain" test -z "$(left)"
left | sed 's/^/       left: /'
check "/var/lib/zr-k5100 is removed" test ! -e /var/lib/zr-k5100
check "the account _zrk5100 is removed" sh -c '! getent passwd _zrk5100 && ! getent group _zrk5100'
check "dpkg keeps nothing of zr-k5100" \
    sh -c "! dpkg -s zr-k5100 2>/dev/null | grep -Eq '^Status: .*( installed|config-files)\$'"

echo "== $passed passed, $failed failed"
[ "$failed" -eq 0 ]
