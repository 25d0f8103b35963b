#!/usr/bin/env bash
# The whole system in one command, on the embedded default (the bundled
# ZR-K5100 PPD): builds the project, then, inside one temporary folder,
# sets up an installation root with the helper tool, the simulated printer,
# a private message bus that starts the profile service on demand and a
# private CUPS server with a ZR-K5100 queue, and drives the print dialog's
# Color Options panel on that queue step by step: the profile refresh from
# the printer, a profile switched into the menus in the Profile Management
# window, a preset, the profile chosen, the summary, and a job whose options
# are read back from the server. Screenshots and a transcript are kept in
# the output folder (DEMO_OUTPUT, default ./demo-output); everything else is
# removed, and every process the demo starts is stopped, however it ends.
#
#   tools/demo.sh                  the whole demo
#   tools/demo.sh --open           the same, then the dialog in a window (needs a display)
#   tools/demo.sh OPTIONS...       print-dialog OPTIONS on the bundled PPD, headless
#
# The printer (UDP port 161) and the CUPS server need root; without root
# the demo says what it skips and shows the panel on the PPD alone.
set -euo pipefail

top=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$top/build/release}
# The PPD as the build writes it into the stage.
ppd=$build/stage/share/zrk5100/ZR-K5100.ppd

open_window=no
if [ "${1:-}" = "--open" ]; then
    open_window=yes
    shift
fi

say() { printf '\n== %s\n' "$*"; }
note() { printf '   %s\n' "$*"; }

# The build: only what the demo runs.
build_targets=(print-dialog ColorOptionsPlugin PrinterPPD profile-tool ZR-K5100Helper ProfileService)
build_project() {
    cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build "$build" -j "$(nproc)" --target "${build_targets[@]}" >/dev/null
}
bin=$build/stage/bin

# With options: the panel alone on the bundled PPD, as scripts use it.
if [ "$#" -gt 0 ]; then
    build_project
    root=$(mktemp -d)
    trap 'rm -rf "$root"' EXIT
    export ZRK5100_ROOT=$root
    "$bin/print-dialog" --headless --ppd "$ppd" "$@"
    exit
fi

# ---------------------------------------------------------------------------
# Everything below lives in $work, and every process is stopped on the way out.
work=$(mktemp -d "${TMPDIR:-/tmp}/zrk5100-demo-XXXXXX")
chmod 755 "$work"
output=${DEMO_OUTPUT:-$PWD/demo-output}
mkdir -p "$output"
output=$(cd "$output" && pwd)
rm -f "$output"/*.png "$output/transcript.txt"

cupsd_pid=
bus_pid=
window_pid=
printer_state=
printer_addr=
cleanup() {
    local status=$?
    trap - EXIT INT TERM HUP
    set +e
    if [ -n "$window_pid" ]; then
        kill -TERM "$window_pid" 2>/dev/null
        wait "$window_pid" 2>/dev/null
    fi
    if [ -n "$cupsd_pid" ]; then
        kill -TERM "$cupsd_pid" 2>/dev/null
        wait "$cupsd_pid" 2>/dev/null
    fi
    if [ -n "$bus_pid" ]; then
        # The service ends by itself when its bus goes.
        kill -TERM "$bus_pid" 2>/dev/null
        wait "$bus_pid" 2>/dev/null
    fi
    if [ -n "$printer_state" ]; then
        "$top/tools/simprinter/simprinter" stop --addr "$printer_addr" --port 161 \
            --state "$printer_state" >/dev/null 2>&1
    fi
    # Give the service a moment to see its bus gone before its files go
    # (the bracket keeps grep from finding its own command line).
    for _ in $(seq 20); do
        grep -qs -- "[${work:0:1}]${work:1}/" /proc/[0-9]*/cmdline || break
        sleep 0.1
    done
    rm -rf "$work"
    exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
trap 'exit 129' HUP

# The transcript: everything shown is also written to the output folder.
exec > >(tee "$output/transcript.txt") 2>&1

cat <<'TEXT'
ZR-K5100 Color Options: the whole system in one run.

The Color Options panel is the part of the print dialog where the printer's
colour settings are chosen. It reads the choices from the printer's PPD file,
keeps the user's choices in the print settings (the "ticket"), and offers
colour profiles stored on the printer. A privileged service reads the
printer's profile table over SNMP; a small helper tool carries each request
from the panel to the service. This demo runs all of them on this machine,
inside one temporary folder, and stops them at the end.
TEXT

say "Step 1: building the programs (the first build takes a few minutes)"
build_project
note "done: $bin"

is_root=no
[ "$(id -u)" -eq 0 ] && is_root=yes
if [ "$is_root" = no ]; then
    note "Not running as root: the simulated printer (UDP port 161) and the private"
    note "CUPS server need root, so the refresh, the queue and the job are skipped;"
    note "the panel is shown on the PPD file alone."
fi

say "Step 2: an installation root in the temporary folder"
root=$work/root
helper_dir="$root/Library/Application Support/Ostra/ZR-K5100/Helpers/ZR-K5100Helper.app/Contents/MacOS"
preferences="$root/Library/Printers/Ostra/Preferences/com.ostra.printers.ZR-K5100"
icon_dir="$root/Library/Printers/Ostra/Products/ZR-K5100/Icons"
mkdir -p "$helper_dir" "$preferences" "$icon_dir"
chmod -R 755 "$root"
cp "$bin/ZR-K5100Helper" "$helper_dir/"
# The window marks the printer's own profiles with this icon.
cp "$build/stage/lib/ColorOptionsPlugin.plugin/Resources/fileExistZRK5100.png" \
    "$icon_dir/fileExistZRK5100.icns"
export ZRK5100_ROOT=$root
note "The system's fixed paths are resolved under $root:"
note "  the helper tool: ${helper_dir#"$root"}/ZR-K5100Helper"
note "  the profile files: ${preferences#"$root"}/"

device_uri=
if [ "$is_root" = yes ]; then
    say "Step 3: the simulated printer"
    rows=$work/rows.txt
    printf '%s\n' \
        "1	4	Office sRGB	OFFSRGB.ICC	1	1" \
        "2	4	Press Coated	PRESSCT.ICC	3	1" \
        "3	5	Photo Wide	PHOTOWD.ICC	2	1" \
        "4	4	Proof Simulation	PROOFSIM.ICC	3	1" >"$rows"
    printer_state=$work/printer
    # 127.0.0.2 unless another simulated printer holds it already.
    for printer_addr in 127.0.0.2 "127.0.$(($$ % 200 + 20)).2"; do
        if "$top/tools/simprinter/simprinter" start --addr "$printer_addr" --port 161 \
            --rows "$rows" --state "$printer_state" --watch $$ --lifetime 600 >/dev/null 2>&1; then
            break
        fi
        printer_addr=
    done
    if [ -z "$printer_addr" ]; then
        printer_state=
        echo "demo: the simulated printer did not start" >&2
        exit 1
    fi
    device_uri="lpd://$printer_addr/queue"
    note "An SNMP agent on udp:$printer_addr:161 answers as the printer, and an LPD"
    note "port on tcp:$printer_addr:515 takes its jobs, as a network printer's does. It"
    note "runs each job's PostScript setup through Ghostscript, as the printer's"
    note "interpreter would, and reports the settings it received. Four profiles in"
    note "its profile table:"
    note "profiles in its profile table:"
    while IFS=$'\t' read -r index location name file class _; do
        case $index in '#'*|'') continue ;; esac
        where=disk; [ "$location" = 5 ] && where=card
        kind="RGB source"; [ "$class" = 3 ] && kind=output
        note "  $file ($name) on the $where, $kind profile"
    done <"$rows"
fi

say "Step 4: a private message bus that starts the profile service on demand"
bus=$work/bus
mkdir -p "$bus/services"
bus_address="unix:path=$bus/socket"
sed -e "s|^Exec=.*|Exec=/usr/bin/env ZRK5100_ROOT=$root DBUS_SYSTEM_BUS_ADDRESS=$bus_address $bin/ProfileService --idle-exit 60|" \
    "$top/Helper/XPCService/dbus/system-services/com.ostra.ZR-K5100.service.in" \
    >"$bus/services/com.ostra.ZR-K5100.service"
owner=
if [ "$is_root" = no ]; then
    owner="<policy user=\"$(id -un)\"><allow own=\"com.ostra.ZR-K5100\"/></policy>"
fi
cat >"$bus/bus.conf" <<CONF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>$bus_address</listen>
  <auth>EXTERNAL</auth>
  <servicedir>$bus/services</servicedir>
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
  <include>$top/Helper/XPCService/dbus/system.d/com.ostra.ZR-K5100.conf</include>
  $owner
</busconfig>
CONF
/usr/bin/dbus-daemon --config-file="$bus/bus.conf" --nofork --print-address=1 \
    >"$bus/address" 2>"$bus/daemon.log" &
bus_pid=$!
for _ in $(seq 50); do
    [ -s "$bus/address" ] && break
    sleep 0.1
done
[ -s "$bus/address" ] || { echo "demo: the message bus did not start" >&2; exit 1; }
export DBUS_SYSTEM_BUS_ADDRESS=$bus_address
note "The bus stands in for the system bus; the service is started by the bus"
note "the first time the helper tool calls it, and works under the installation root."

queue=ZR-K5100-Demo
if [ "$is_root" = yes ]; then
    say "Step 5: a private CUPS server with a ZR-K5100 queue"
    cups=$work/cups
    mkdir -p "$cups"/{spool/tmp,cache,state,log,ppd,ssl}
    port=$(/usr/bin/python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
    cat >"$cups/cupsd.conf" <<CONF
Listen 127.0.0.1:$port
LogLevel info
Browsing No
BrowseLocalProtocols none
DefaultAuthType None
WebInterface No
PreserveJobHistory Yes
PreserveJobFiles No
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
CONF
    cat >"$cups/cups-files.conf" <<CONF
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
CONF
    chmod 755 "$cups"
    /usr/sbin/cupsd -f -c "$cups/cupsd.conf" -s "$cups/cups-files.conf" >"$cups/log/cupsd.out" 2>&1 &
    cupsd_pid=$!
    export CUPS_SERVER=127.0.0.1:$port CUPS_USER=root
    # The user's own libcups files (lpoptions) stay in the temporary folder too.
    mkdir -p "$work/home"
    export HOME=$work/home CUPS_SERVERROOT=$cups
    for _ in $(seq 100); do
        lpstat -r >/dev/null 2>&1 && break
        sleep 0.1
    done
    lpstat -r >/dev/null 2>&1 || { echo "demo: cupsd did not start" >&2; exit 1; }
    # lpadmin warns that PPD drivers are deprecated; only a failure is shown.
    if ! made=$(/usr/sbin/lpadmin -p "$queue" -v "$device_uri" -P "$ppd" -E 2>&1); then
        echo "demo: lpadmin failed: $made" >&2
        exit 1
    fi
    note "cupsd listens on 127.0.0.1:$port. The queue $queue was made from the"
    note "PPD the build wrote (the presets' code generated from the panel's own preset"
    note "table); its device URI $device_uri sends jobs to the simulated printer"
    note "through the stock filters and CUPS's lpd backend."
fi

runtime=$work/runtime
mkdir -p "$runtime" && chmod 700 "$runtime"
export XDG_RUNTIME_DIR=$runtime QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8
ticket=$work/ticket.plist
if [ "$is_root" = yes ]; then
    printer=(--queue "$queue")
else
    printer=(--ppd "$ppd")
fi
dialog() { "$bin/print-dialog" --headless "${printer[@]}" --ticket "$ticket" "$@"; }
profile_file="$preferences/$(id -un)-zrk5100-profile.plist"
list_profiles() {
    "$bin/profile-tool" show "$profile_file" | /usr/bin/python3 -c '
import json, sys
states = {1: "on the printer, deleted there", 2: "on the printer, not in the menus",
          3: "gone from the printer, in the menus", 4: "on the printer, in the menus",
          5: "added by hand, not in the menus", 6: "added by hand, in the menus"}
groups = json.load(sys.stdin)
for group in ("RGB", "SIM", "DST"):
    for n, e in enumerate(groups.get(group, [])):
        print("   {} {}: {} ({}) - {}".format(group, n, e["FileName"], e["ProfileName"],
                                        states.get(e["InMenu"], e["InMenu"])))'
}

say "Step 6: the panel opens on the queue and refreshes the profiles from the printer"
note "Opening the panel asks the service (through the helper tool) whether the"
note "profile file may be written, then has it walk the printer's profile table."
dialog --save --summary >/dev/null
if [ "$is_root" = yes ] && [ -f "$profile_file" ]; then
    note "The profile file now lists what the printer reported:"
    list_profiles
else
    note "(no printer to walk: skipped)"
fi

say "Step 7: a profile switched into the menus in the Profile Management window"
if "$bin/print-dialog" --help | grep -q -- '--profiles'; then
    if [ "$is_root" = yes ]; then
        dialog --profiles "group RGB; toggle 0; screenshot $output/window.png; ok"
        note "In the window: the RGB group, the first profile's \"in menu\" box ticked, OK."
        note "Picture of the window: $output/window.png"
        list_profiles
    else
        dialog --profiles "group RGB; screenshot $output/window.png; cancel" || true
        note "Picture of the window: $output/window.png"
    fi
else
    note "This print-dialog has no --profiles (the scriptable Profile Management"
    note "window), so this step and the window's picture are skipped."
    if [ "$is_root" = yes ] && [ -f "$profile_file" ]; then
        note "The first RGB profile is switched into the menus with profile-tool instead:"
        "$bin/profile-tool" show "$profile_file" | /usr/bin/python3 -c '
import json, sys
groups = json.load(sys.stdin)
if groups["RGB"] and groups["RGB"][0]["InMenu"] == 2:
    groups["RGB"][0]["InMenu"] = 4
json.dump(groups, sys.stdout)' | "$bin/profile-tool" write "$profile_file"
        list_profiles
    fi
fi

say "Step 8: a preset, then the profile chosen in the Image RGB Source menu"
choices=(--set VXQuickColor=CustomColor --set VXBrightness=Plus1 --set VXImageHalftone=Standard)
rgb_items=$(dialog "${choices[@]}" --state | /usr/bin/python3 -c '
import json, sys
for c in json.load(sys.stdin)["controls"]:
    if c["keyword"] == "VXImageRGBSource":
        print("\n".join(c["items"]))')
note "Quick Color: Custom (the preset that opens the advanced settings),"
note "Brightness +1, Image Halftone: Standard. The Image RGB Source menu offers:"
while IFS= read -r item; do note "  $item"; done <<<"$rgb_items"
profile_index=$(($(wc -l <<<"$rgb_items") - 1))
if [ "$profile_index" -ge 4 ]; then
    choices+=(--set "VXImageRGBSource=#4")
    note "and the first printer profile is chosen: $(sed -n 5p <<<"$rgb_items")"
else
    note "(no printer profile in the menu: the PPD's choice stays)"
fi
dialog "${choices[@]}" --save >/dev/null

say "Step 9: the summary the print dialog shows for the panel"
dialog --summary | /usr/bin/python3 -c '
import json, sys
summary = json.loads(sys.stdin.readline())
for name in summary["Summary Display Order"]:
    print("   {:30} {}".format(name + ":", summary[name]))'

say "Step 10: pictures of the main pane and the advanced pane"
dialog --show color --screenshot "$output/main.png"
dialog --show advanced --screenshot "$output/advanced.png"
note "$output/main.png"
note "$output/advanced.png"

if [ "$is_root" = yes ]; then
    # What the simulated printer reports for its next job: one line starting
    # "The printer received:" with the chosen profiles' paths decoded and the
    # brightness, then every setting.
    printer_jobs() {
        "$top/tools/simprinter/simprinter" jobs --addr "$printer_addr" --port 161 \
            --state "$printer_state"
    }
    await_printer() {
        local before=$1 count
        for _ in $(seq 300); do
            count=$(printer_jobs | wc -l)
            [ "$count" -gt "$before" ] && break
            sleep 0.1
        done
        printer_jobs | sed -n "$((before + 1))p" | /usr/bin/python3 -c '
import json, sys
sys.path.insert(0, sys.argv[1])
import readback
job = json.loads(sys.stdin.readline() or "{}")
settings = job.get("settings")
if not settings:
    print("   The printer received no job (%s)." % job.get("error", "nothing came"))
    sys.exit(0)
menus = {"VXImageRGBSource": "Image RGB Source", "VXTextRGBSource": "Text RGB Source",
         "VXGraphicsRGBSource": "Graphics RGB Source", "VXSimSource": "Simulation",
         "VXImageDestinationProfile": "Image Destination",
         "VXTextDestinationProfile": "Text Destination",
         "VXGraphicsDestinationProfile": "Graphics Destination"}
parts = []
for key, value in settings.items():
    if key.endswith("Path"):
        parts.append("%s profile %s" % (menus.get(key[:-4], key[:-4]),
                                        readback.decode_nibbles(value) or value))
parts.append("Brightness %s" % settings.get("VXBrightness", "?"))
print("   The printer received: " + ", ".join(parts))
print("   (its job %s; every VX setting its PostScript setup left:)" % job["job"])
for key, value in settings.items():
    print("     %s = %s" % (key, value))' "$top/tools/simprinter"
    }

    say "Step 11: the job reaches the printer"
    note "print-dialog prints a test page on the queue with the panel's options:"
    received_before=$(printer_jobs | wc -l)
    dialog --print | sed 's/^/   /'
    note "The chosen profile travels as the job option VXPathImageRGBSource, a custom"
    note "choice of the PPD whose code hands the printer the profile's path (nibble"
    note "text: two characters per byte, decoded below). The filters turn the job into"
    note "PostScript with every option's code in its setup; the lpd backend sends it:"
    await_printer "$received_before"

    say "Step 12: the same choices for every program"
    note "Other programs print through their own dialogs. --save-defaults keeps the"
    note "panel's options as the queue's saved defaults (lpoptions, here in the"
    note "temporary folder), so a plain \"lp -d $queue FILE\" carries them:"
    dialog --save-defaults
    printf 'A letter from another program.\n' >"$work/letter.txt"
    received_before=$(printer_jobs | wc -l)
    lp -d "$queue" "$work/letter.txt" >/dev/null
    await_printer "$received_before" | head -n 1
    note "And a job that names only a preset, as any dialog offers it, gets the"
    note "panel's whole preset (\"lp -o VXQuickColor=Photo -o VXEconoMode=True\"):"
    received_before=$(printer_jobs | wc -l)
    lp -d "$queue" -o VXQuickColor=Photo -o VXEconoMode=True "$work/letter.txt" >/dev/null
    await_printer "$received_before" | grep -E 'VX(QuickColor|EconoMode|ImageHalftone|TextEdgeEnhance|GraphicsEdgeEnhance) '
    rgb=$("$bin/print-dialog" --headless --queue "$queue" --state | /usr/bin/python3 -c '
import json, sys
for c in json.load(sys.stdin)["controls"]:
    if c["keyword"] == "VXImageRGBSource":
        print(c["title"])')
    note "print-dialog opened on the queue without a ticket starts from the saved defaults:"
    note "  Image RGB Source: $rgb"
fi

if [ "$open_window" = yes ]; then
    if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
        say "The dialog in a window (close it to end the demo)"
        # In the background, so that a signal reaches the demo's traps at once.
        QT_QPA_PLATFORM= "$bin/print-dialog" "${printer[@]}" --ticket "$ticket" &
        window_pid=$!
        wait "$window_pid" || true
        window_pid=
    else
        note "--open: no display, so no window."
    fi
fi

say "Done"
note "Pictures and this transcript are in $output"
note "Everything else was in $work and is removed now; every process is stopped."

