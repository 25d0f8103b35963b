"""The Profile Management window driven through print-dialog --profiles, writing
through the built helper and the built service on a private bus."""

import json
import os
import pwd
import shutil
import subprocess
import tempfile
import unittest

from print_dialog_test import HELPER_PATH, PrintDialogCase, SOURCE_DIR

PROFILE_SERVICE = os.environ.get("ZRK_PROFILE_SERVICE", "")
HELPER = os.environ.get("ZRK_HELPER", "")
ON_PRINTER_ICON = os.environ.get("ZRK_ON_PRINTER_ICON", "")
ICON_PATH = "Library/Printers/Ostra/Products/ZR-K5100/Icons/fileExistZRK5100.icns"
SERVICE_NAME = "com.ostra.ZR-K5100"

# RGB: printer entries found by the last walk (2 hidden, 4 shown), one the
# walk missed (1), user entries (6 shown, 5 hidden); DST: one shown entry.
def entry(index, state, name, location, profile=None, profile_class=1):
    return {"IndexOnDevice": index, "InMenu": state, "ProfileClass": profile_class,
            "Location": location, "FileName": name,
            "ProfileName": profile if profile is not None else name.split(".")[0]}


PROFILES = {
    "RGB": [entry(1, 2, "A.ICC", 4), entry(2, 4, "B.ICC", 4), entry(3, 1, "C.ICC", 5),
            entry(503, 6, "D.ICC", 4, profile_class=2), entry(504, 5, "E.ICC", 5, profile_class=2)],
    "DST": [entry(9, 3, "P.ICC", 4, profile_class=3)],
}


class PrivateBus:
    """A dbus-daemon of its own that activates the built service under the
    test's installation root (the service tests' bus configuration)."""

    def __init__(self, root):
        self.dir = tempfile.mkdtemp(prefix="zrk-bus-")
        os.chmod(self.dir, 0o755)
        socket = os.path.join(self.dir, "bus")
        self.address = "unix:path=" + socket
        services = os.path.join(self.dir, "services")
        os.mkdir(services)
        with open(os.path.join(SOURCE_DIR, "tests/Service/fixtures/private-bus.conf.in")) as f:
            config = f.read()
        owner = ""
        if os.geteuid() != 0:
            user = pwd.getpwuid(os.geteuid()).pw_name
            owner = f'<policy user="{user}"><allow own="{SERVICE_NAME}"/></policy>'
        config = (config.replace("@SOCKET@", socket).replace("@SERVICEDIR@", services)
                  .replace("@POLICY@", os.path.join(
                      SOURCE_DIR, "Helper/XPCService/dbus/system.d/com.ostra.ZR-K5100.conf"))
                  .replace("@OWNER@", owner))
        with open(os.path.join(self.dir, "bus.conf"), "w") as f:
            f.write(config)
        with open(os.path.join(SOURCE_DIR, "Helper/XPCService/dbus/system-services/"
                               "com.ostra.ZR-K5100.service.in")) as f:
            activation = f.read()
        exec_line = (f"/usr/bin/env ZRK5100_ROOT={root} DBUS_SYSTEM_BUS_ADDRESS={self.address} "
                     f"{PROFILE_SERVICE} --idle-exit 30")
        with open(os.path.join(services, SERVICE_NAME + ".service"), "w") as f:
            f.write(activation.replace("@ZRK_SERVICE_EXEC@", exec_line))
        self.log = open(os.path.join(self.dir, "daemon.log"), "w")
        self.daemon = subprocess.Popen(
            ["/usr/bin/dbus-daemon", "--config-file=" + os.path.join(self.dir, "bus.conf"),
             "--nofork", "--print-address=1"],
            stdout=subprocess.PIPE, stderr=self.log, text=True)
        if not self.daemon.stdout.readline():
            self.close()
            raise RuntimeError("the private dbus-daemon did not start")

    def close(self):
        self.daemon.terminate()
        self.daemon.wait(timeout=30)
        self.daemon.stdout.close()
        self.log.close()
        shutil.rmtree(self.dir, ignore_errors=True)


class ProfileWindowCase(PrintDialogCase):
    def setUp(self):
        super().setUp()
        for needed in (PROFILE_SERVICE, HELPER):
            if not os.access(needed, os.X_OK):
                self.skipTest("the service or the helper is not built")
        if not os.access("/usr/bin/dbus-daemon", os.X_OK):
            self.skipTest("dbus-daemon is not installed")
        self.bus = PrivateBus(self.root)
        self.addCleanup(self.bus.close)
        self.env["DBUS_SYSTEM_BUS_ADDRESS"] = self.bus.address
        helper = os.path.join(self.root, HELPER_PATH)
        os.makedirs(os.path.dirname(helper), exist_ok=True)
        shutil.copy(HELPER, helper)
        icon = os.path.join(self.root, ICON_PATH)
        os.makedirs(os.path.dirname(icon), exist_ok=True)
        shutil.copy(ON_PRINTER_ICON, icon)
        self.write_profiles(PROFILES)

    def profiles(self, script, *args, expect=0, **kwargs):
        return self.run_dialog("--profiles", script, *args, expect=expect, **kwargs)

    def listing(self, *args, **kwargs):
        return json.loads(self.run_dialog("--profiles-list", *args, **kwargs).stdout)

    def names(self, group="RGB"):
        return [e["FileName"] for e in self.listing()[group]]

    def file_bytes(self):
        with open(self.profile_file(), "rb") as f:
            return f.read()

    def refused(self, script, *args, reason="", **kwargs):
        before = self.file_bytes()
        result = self.profiles(script, "--save", *args, expect=3, **kwargs)
        self.assertIn(reason, result.stderr)
        self.assertEqual(len(result.stderr.strip().splitlines()), 1, result.stderr)
        self.assertEqual(self.file_bytes(), before)
        self.assertFalse(os.path.exists(self.ticket))
        return result


class Entries(ProfileWindowCase):
    def test_listing_shows_every_field_of_every_group(self):
        groups = self.listing()
        self.assertEqual(set(groups), {"RGB", "SIM", "DST"})
        self.assertEqual(groups["SIM"], [])
        self.assertEqual(groups["DST"], [dict(PROFILES["DST"][0], Driver=0)])
        self.assertEqual([e["InMenu"] for e in groups["RGB"]], [2, 4, 1, 6, 5])

    def test_adding_is_refused_on_a_taken_place_and_accepted_on_the_other(self):
        self.refused("add; file D.ICC; name Again; location Disk; entry-ok", reason="D.ICC")
        self.profiles("add; file D.ICC; name On card; location Card; entry-ok")
        added = self.listing()["RGB"][5]
        self.assertEqual(added, {"IndexOnDevice": 505, "InMenu": 6, "ProfileClass": 2,
                                 "Location": 5, "FileName": "D.ICC", "ProfileName": "On card",
                                 "Driver": 0})

    def test_printer_entries_keep_their_file_and_refuse_deletion(self):
        self.refused("select 1; edit; file X.ICC", reason="file name field is disabled")
        for row in (0, 1):
            with self.subTest(row=row):
                self.refused(f"select {row}; delete", reason="Delete button is disabled")
        self.profiles("select 1; edit; name Renamed; entry-ok")
        renamed = self.listing()["RGB"][1]
        self.assertEqual((renamed["FileName"], renamed["ProfileName"], renamed["InMenu"]),
                         ("B.ICC", "Renamed", 4))
        self.profiles("select 3; delete")
        self.assertEqual(self.names(), ["A.ICC", "B.ICC", "C.ICC", "E.ICC"])

    def test_check_boxes_toggle_the_states(self):
        self.profiles("toggle 0; toggle 1; toggle 2; toggle 3; toggle 4")
        self.assertEqual([e["InMenu"] for e in self.listing()["RGB"]], [4, 2, 3, 5, 6])

    def test_cancel_leaves_the_file(self):
        before = self.file_bytes()
        self.profiles("toggle 0; add; file N.ICC; name N; entry-ok; select 3; delete; cancel")
        self.assertEqual(self.file_bytes(), before)

    def test_typing_goes_through_the_filters(self):
        chosen = os.path.join(self.root, "Office_2.icc")
        open(chosen, "w").close()
        script = "; ".join([
            "add; file " + "a" * 27 + "b; name \u00dcber Caf\u00e9; entry-ok",
            "add; file abc.iccx; name two; entry-ok",
            "add; file a.b.c; name three; entry-ok",
            "add; file my/pro file.icc; name four; entry-ok",
            f"add; browse {chosen}; name five; location Card; entry-ok",
        ])
        self.profiles(script)
        added = self.listing()["RGB"][5:]
        self.assertEqual([(e["FileName"], e["ProfileName"]) for e in added],
                         [("a" * 27, "ber Caf"), ("abc.icc", "two"), ("a.bc", "three"),
                          ("myprofile.icc", "four"), ("Office_2.icc", "five")])
        self.assertEqual(added[4]["Location"], 5)
        self.refused("add; file .hidden; name dot; entry-ok", reason="entry's OK button")

    def test_a_full_group_takes_no_more(self):
        self.write_profiles({"RGB": [entry(500 + i, 6, f"F{i:03}.ICC", 4, profile_class=2)
                                     for i in range(500)]})
        self.refused("add; file NEW.ICC; name new; entry-ok", reason="500")
        self.profiles("select 499; delete; add; file NEW.ICC; name new; entry-ok")
        groups = self.listing()["RGB"]
        self.assertEqual(len(groups), 500)
        self.assertEqual(groups[-1]["FileName"], "NEW.ICC")
        self.assertEqual(groups[-1]["IndexOnDevice"], 999)

    def test_usb_queue_delete_merges_with_the_file(self):
        # Read for such a queue the window hides A.ICC (state 2); the merge
        # keeps it in the file.
        self.profiles("select 2; delete", "--device-uri", "usb://Ostra/ZR-K5100")
        groups = self.listing()
        self.assertNotIn("D.ICC", [e["FileName"] for e in groups["RGB"]])
        self.assertIn(("A.ICC", 2), [(e["FileName"], e["InMenu"]) for e in groups["RGB"]])
        self.assertEqual([e["FileName"] for e in groups["DST"]], ["P.ICC"])

    def test_refusals_write_nothing(self):
        cases = [("jump 3", "unknown action"), ("select x", "row number"),
                 ("ok; add", "closes the window"), ("select 9", "no row 9"),
                 ("edit", "Edit button is disabled"), ("group XYZ", "RGB, SIM or DST"),
                 ("add; group DST", "group menu is disabled"),
                 ("add; select 1", "cannot be selected"),
                 ("add; browse /no/such/file.icc", "no file")]
        # Browsed names the refresh's merge would drop: 29 characters without
        # a dot, a 4-character extension.
        for name, reason in (("A" * 29, "before the extension"),
                             ("Office.iccx", "extension is longer")):
            chosen = os.path.join(self.root, name)
            open(chosen, "w").close()
            cases.append((f"add; browse {chosen}", reason))
        for script, reason in cases:
            with self.subTest(script=script):
                self.refused(script, reason=reason)

    def test_without_the_helper_the_button_is_disabled(self):
        os.remove(os.path.join(self.root, HELPER_PATH))
        self.refused("ok", reason="Management Profile button is disabled")


class Menus(ProfileWindowCase):
    CUSTOM = ["--set", "VXQuickColor=#3"]

    def state(self, *args, **kwargs):
        state = json.loads(self.run_dialog(*args, "--state", **kwargs).stdout)
        return {c["keyword"]: c for c in state["controls"] if c["keyword"]}

    def test_confirming_rebuilds_the_menus_and_keeps_the_choices(self):
        before = self.state(*self.CUSTOM, "--set", "VXImageRGBSource=#5")
        self.assertEqual(before["VXImageRGBSource"]["title"], "D.ICC(D)Disk")
        after = self.state(*self.CUSTOM, "--set", "VXImageRGBSource=#5", "--profiles",
                           "add; file NEW.ICC; name New; entry-ok; group DST; toggle 0")
        for keyword in ("VXImageRGBSource", "VXTextRGBSource", "VXGraphicsRGBSource"):
            self.assertEqual(after[keyword]["items"],
                             before[keyword]["items"] + ["NEW.ICC(New)Disk"], keyword)
        self.assertEqual(after["VXImageRGBSource"]["value"], 5)
        self.assertEqual(after["VXImageRGBSource"]["title"], "D.ICC(D)Disk")
        self.assertEqual(after["VXImageDestinationProfile"]["items"],
                         before["VXImageDestinationProfile"]["items"][:-1])
        # The next run offers the new entry too.
        self.assertEqual(self.state()["VXImageRGBSource"]["items"][-1], "NEW.ICC(New)Disk")

    def test_cancel_leaves_the_menus(self):
        before = self.state(*self.CUSTOM, "--set", "VXImageRGBSource=#5")
        after = self.state(*self.CUSTOM, "--set", "VXImageRGBSource=#5", "--profiles",
                           "add; file NEW.ICC; name New; entry-ok; cancel")
        for keyword in ("VXImageRGBSource", "VXImageDestinationProfile", "VXSimSource"):
            self.assertEqual(after[keyword], before[keyword], keyword)

    def test_rules_run_again_after_confirming(self):
        after = self.state(*self.CUSTOM, "--set", "VXColorAsGray=True", "--profiles",
                           "add; file NEW.ICC; name New; entry-ok")
        for keyword in ("VXImageRGBSource", "VXImageDestinationProfile", "VXSimSource"):
            self.assertFalse(after[keyword]["enabled"], keyword)
        self.assertIn("NEW.ICC(New)Disk", after["VXImageRGBSource"]["items"])


class Picture(ProfileWindowCase):
    def test_screenshot_shows_the_window(self):
        long_name = "ABCDEFGHIJKLMNOPQRSTUVWXYZ01234"
        self.write_profiles({"RGB": [entry(1, 4, long_name, 4, "Office Proof 2024 Coated Glossy"),
                                     entry(2, 2, "B.ICC", 5, "Hidden on card"),
                                     entry(503, 6, "MINE.ICC", 4, "Mine")]})
        png = os.path.join(self.root, "window.png")
        # A Bonjour queue shows the on-printer icon; unresolved, it is not walked.
        self.profiles(f"screenshot {png}; cancel", "--device-uri",
                      "dnssd://ZR-K5100._pdl-datastream._tcp.local./")
        with open(png, "rb") as f:
            header = f.read(24)
        self.assertEqual(header[:8], b"\x89PNG\r\n\x1a\n")
        self.assertGreater(int.from_bytes(header[16:20], "big"), 600)
        if os.environ.get("ZRK_KEEP_SCREENSHOT"):
            shutil.copy(png, os.environ["ZRK_KEEP_SCREENSHOT"])


if __name__ == "__main__":
    unittest.main()
