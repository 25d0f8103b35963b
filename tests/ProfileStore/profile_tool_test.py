#!/usr/bin/python3
"""profile-tool against an independent reader and writer: Python's plistlib.

Usage: profile_tool_test.py PATH-TO-profile-tool
"""
import json
import os
import plistlib
import subprocess
import sys
import tempfile
import unittest

TOOL = None
GROUPS = ("RGB", "SIM", "DST")
INT_COLUMNS = ("IndexOnDevice", "InMenu", "ProfileClass", "Location")
NAME_COLUMNS = ("FileName", "ProfileName")
MEMBERS = ("IndexOnDevice", "InMenu", "ProfileClass", "Location", "FileName", "ProfileName")


def run(args, stdin=None):
    return subprocess.run([TOOL] + args, input=stdin, capture_output=True, timeout=60)


def entry(index, state, file_name, profile_name="", location=4, profile_class=2):
    return {"IndexOnDevice": index, "InMenu": state, "ProfileClass": profile_class,
            "Location": location, "FileName": file_name, "ProfileName": profile_name}


def plistlib_file(groups, version=1, drop=()):
    """A profile file as plistlib writes it; slots beyond the entries are left out."""
    root = {}
    for name in GROUPS:
        entries = groups.get(name, [])
        group = {"iNum": len(entries)}
        for column in INT_COLUMNS + NAME_COLUMNS:
            group[column] = {"%s%04d" % (column, i): e[column] for i, e in enumerate(entries)}
        for key in drop:
            if key[0] == name:
                del group[key[1]]
        root[name] = group
    if version is not None:
        root["PlistVersion"] = version
    return plistlib.dumps(root, fmt=plistlib.FMT_XML)


class ProfileToolTest(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory(prefix="zrk-profile-tool-")
        self.path = os.path.join(self.tmp.name, "user-zrk5100-profile.plist")

    def tearDown(self):
        self.tmp.cleanup()

    def write(self, document):
        return run(["write", self.path], json.dumps(document).encode())

    def test_written_file_holds_every_slot_for_plistlib(self):
        doc = {"RGB": [entry(1, 4, "STD.ICC", "Standard"), entry(-5, 6, "U.ICC", "Prüfung €", 5)],
               "SIM": [entry(2, 2, "SIM.ICC", "Sim", 4, 3)],
               "DST": []}
        result = self.write(doc)
        self.assertEqual(result.returncode, 0, result.stderr)
        with open(self.path, "rb") as f:
            root = plistlib.load(f)
        self.assertEqual(root["PlistVersion"], 1)
        total = 0
        for name in GROUPS:
            group = root[name]
            self.assertEqual(group["iNum"], len(doc[name]))
            for column in INT_COLUMNS + NAME_COLUMNS:
                values = group[column]
                self.assertEqual(sorted(values), ["%s%04d" % (column, i) for i in range(500)])
                total += len(values)
                for i in range(500):
                    expected = doc[name][i][column] if i < len(doc[name]) else (
                        0 if column in INT_COLUMNS else "")
                    self.assertEqual(values["%s%04d" % (column, i)], expected)
        self.assertEqual(total, 3 * 6 * 500)

    def test_plistlib_file_is_shown_as_written(self):
        groups = {"RGB": [entry(3, 4, "A.ICC", "Alpha"), entry(504, 6, "B.ICC", "Ünïcødé 日本")],
                  "SIM": [], "DST": [entry(7, 1, "C.ICC", "Gamma", 5, 3)]}
        with open(self.path, "wb") as f:
            f.write(plistlib_file(groups, version=None))
        result = run(["show", self.path])
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(json.loads(result.stdout), groups)

    def test_show_then_write_reproduces_the_file(self):
        groups = {"RGB": [entry(1, 3, "X.ICC", "x")], "SIM": [entry(2, 5, "Y.ICC", "y")],
                  "DST": [entry(3, 6, "Z.ICC", "z")]}
        self.assertEqual(self.write(groups).returncode, 0)
        first = open(self.path, "rb").read()
        shown = run(["show", self.path]).stdout
        self.assertEqual(run(["write", self.path], shown).returncode, 0)
        self.assertEqual(open(self.path, "rb").read(), first)

    def test_counts_are_corrected_and_long_names_cut(self):
        data = plistlib.loads(plistlib_file(
            {"RGB": [entry(1, 4, "A.ICC", "n" * 40), entry(2, 4, "B.ICC")]}))
        data["RGB"]["iNum"] = 5
        with open(self.path, "wb") as f:
            plistlib.dump(data, f)
        shown = json.loads(run(["show", self.path]).stdout)
        self.assertEqual(len(shown["RGB"]), 2)
        self.assertEqual(shown["RGB"][0]["ProfileName"], "n" * 31)

    def test_unreadable_files_fail_with_one_line(self):
        cases = {
            "missing": None,
            "not a plist": b"hello\n",
            "no DST": plistlib_file({}, drop=()).replace(b"<key>DST</key>", b"<key>XXX</key>"),
            "column missing": plistlib_file({}, drop=(("SIM", "Location"),)),
            "root is a list": plistlib.dumps([1, 2]),
        }
        for name, content in cases.items():
            with self.subTest(name):
                if os.path.exists(self.path):
                    os.remove(self.path)
                if content is not None:
                    with open(self.path, "wb") as f:
                        f.write(content)
                result = run(["show", self.path])
                self.assertEqual(result.returncode, 1)
                self.assertEqual(result.stdout, b"")
                self.assertEqual(len(result.stderr.decode().strip().splitlines()), 1)

    def test_malformed_json_is_refused_and_nothing_written(self):
        good = entry(1, 6, "A.ICC")
        cases = {
            "not json": b"{",
            "not an object": b"[]",
            "group missing": json.dumps({"RGB": [], "SIM": []}).encode(),
            "unknown group": json.dumps({"RGB": [], "SIM": [], "DST": [], "XYZ": []}).encode(),
            "group not an array": json.dumps({"RGB": {}, "SIM": [], "DST": []}).encode(),
            "member missing": json.dumps({"RGB": [{k: v for k, v in good.items() if k != "Location"}],
                                          "SIM": [], "DST": []}).encode(),
            "unknown member": json.dumps({"RGB": [dict(good, Extra=1)], "SIM": [], "DST": []}).encode(),
            "string for integer": json.dumps({"RGB": [dict(good, Location="4")], "SIM": [], "DST": []}).encode(),
            "integer too large": json.dumps({"RGB": [dict(good, Location=2**31)], "SIM": [], "DST": []}).encode(),
            "real number": json.dumps({"RGB": [dict(good, Location=4.5)], "SIM": [], "DST": []}).encode(),
            "name too long": json.dumps({"RGB": [dict(good, FileName="f" * 32)], "SIM": [], "DST": []}).encode(),
            "empty state": json.dumps({"RGB": [dict(good, InMenu=0)], "SIM": [], "DST": []}).encode(),
            "501 entries": json.dumps({"RGB": [good] * 501, "SIM": [], "DST": []}).encode(),
        }
        for name, text in cases.items():
            with self.subTest(name):
                result = run(["write", self.path], text)
                self.assertEqual(result.returncode, 1, name)
                self.assertTrue(result.stderr.strip())
                self.assertFalse(os.path.exists(self.path))

    def test_500_entries_fit(self):
        doc = {g: [entry(i + 1, 6, "F%d.ICC" % i) for i in range(500)] for g in GROUPS}
        self.assertEqual(self.write(doc).returncode, 0)
        with open(self.path, "rb") as f:
            self.assertEqual(plistlib.load(f)["DST"]["FileName"]["FileName0499"], "F499.ICC")

    def test_write_into_missing_directory_fails(self):
        result = run(["write", os.path.join(self.tmp.name, "none", "f.plist")],
                     json.dumps({"RGB": [], "SIM": [], "DST": []}).encode())
        self.assertEqual(result.returncode, 1)

    def test_unknown_subcommand_prints_usage(self):
        for args in ([], ["frobnicate"], ["SHOW", self.path]):
            result = run(args)
            self.assertEqual(result.returncode, 2)
            self.assertIn(b"usage: profile-tool", result.stderr)
        self.assertEqual(run(["show"]).returncode, 2)


if __name__ == "__main__":
    TOOL = os.path.abspath(sys.argv.pop(1))
    unittest.main(verbosity=2)
