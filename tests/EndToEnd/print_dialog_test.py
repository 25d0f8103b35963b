"""print-dialog with the Color Options bundle, driven as users and scripts do."""

import json
import os
import plistlib
import pwd
import re
import shutil
import stat
import subprocess
import tempfile
import textwrap
import unittest
import xml.etree.ElementTree as ET

PRINT_DIALOG = os.environ.get("ZRK_PRINT_DIALOG", "")
PLUGIN_DIR = os.environ.get("ZRK_PLUGIN_DIR", "")
PROFILE_TOOL = os.environ.get("ZRK_PROFILE_TOOL", "")
SOURCE_DIR = os.environ.get("ZRK_SOURCE_DIR", os.path.join(os.path.dirname(__file__), "..", ".."))

BUNDLED_PPD = os.path.join(SOURCE_DIR, "PDE/Resources/ZR-K5100.ppd")
FIXTURES = os.path.join(SOURCE_DIR, "tests/fixtures/ppd")
HELPER_PATH = ("Library/Application Support/Ostra/ZR-K5100/Helpers/ZR-K5100Helper.app/"
               "Contents/MacOS/ZR-K5100Helper")
PREFERENCES = "Library/Printers/Ostra/Preferences/com.ostra.printers.ZR-K5100"

MAIN_ITEMS = ["Quick Color", "Brightness", "Color as Grayscale", "Color Separation",
              "EconoMode", "Edge Type", "Auto Trapping", "Black Overprint"]
ADVANCED_KEYWORDS = [
    f"VX{kind}{option}"
    for kind in ("Image", "Text", "Graphics")
    for option in ("RGBSource", "RenderIntent", "GrayTreatment", "DestinationProfile",
                   "Halftone", "EdgeEnhance")
] + ["VXSimSource", "VXSimRenderIntent", "VXSimGrayTreatment"]




def translation_table(lang):
    """{source: translation} of the bundle's strings table for a language."""
    path = os.path.join(SOURCE_DIR, f"PDE/Resources/Localizable_{lang}.ts")
    return {m.findtext("source"): m.findtext("translation") or ""
            for m in ET.parse(path).getroot().iter("message")}


def ppd_texts(path, lang=None):
    """{keyword: (option text, {choice: choice text})} of a PPD's UI options,
    in its own texts or in one language's translations."""
    with open(path, "rb") as f:
        data = f.read()
    encoding = "latin-1" if b"*LanguageEncoding: ISOLatin1" in data else "utf-8"
    options = {}
    for raw in data.split(b"\n"):
        own = raw.decode(encoding, "replace")
        translated = raw.decode("utf-8", "replace")
        if lang is None:
            match = re.match(r"\*OpenUI \*(\w+)/([^:]*):", own)
            if match:
                options[match.group(1)] = (match.group(2), {})
                continue
            match = re.match(r"\*(\w+) (\w+)/([^:]*):", own)
            if match and match.group(1) in options:
                options[match.group(1)][1][match.group(2)] = match.group(3)
        else:
            match = re.match(rf"\*{lang}\.Translation (\w+)/([^:]*):", translated)
            if match:
                options.setdefault(match.group(1), ("", {}))
                options[match.group(1)] = (match.group(2), options[match.group(1)][1])
                continue
            match = re.match(rf"\*{lang}\.(\w+) (\w+)/([^:]*):", translated)
            if match:
                options.setdefault(match.group(1), ("", {}))[1][match.group(2)] = match.group(3)
    return options


class PrintDialogCase(unittest.TestCase):
    def setUp(self):
        if not os.access(PRINT_DIALOG, os.X_OK):
            self.skipTest("print-dialog is not built")
        self.tmp = tempfile.TemporaryDirectory()
        self.root = self.tmp.name
        self.ticket = os.path.join(self.root, "ticket.plist")
        os.makedirs(os.path.join(self.root, PREFERENCES))
        runtime = os.path.join(self.root, "runtime")
        os.mkdir(runtime, 0o700)
        self.env = dict(os.environ, ZRK5100_ROOT=self.root, QT_QPA_PLATFORM="offscreen",
                        XDG_RUNTIME_DIR=runtime, LC_ALL="C.UTF-8")
        # English unless a test asks for another language.
        self.env.pop("LANGUAGE", None)

    def tearDown(self):
        self.tmp.cleanup()

    def run_dialog(self, *args, ppd=BUNDLED_PPD, ticket=True, expect=0):
        command = [PRINT_DIALOG, "--headless", "--ppd", ppd, "--plugin", PLUGIN_DIR]
        if ticket:
            command += ["--ticket", self.ticket]
        result = subprocess.run(command + list(args), env=self.env, capture_output=True,
                                text=True, timeout=120)
        if expect is not None:
            self.assertEqual(result.returncode, expect, result.stderr)
        return result

    def state(self, *args, **kwargs):
        return json.loads(self.run_dialog(*args, "--state", **kwargs).stdout)

    def controls(self, *args, **kwargs):
        state = self.state(*args, **kwargs)
        return {c["keyword"] or c["identifier"] or c["title"]: c for c in state["controls"]}

    def summary(self, *args, **kwargs):
        return json.loads(self.run_dialog(*args, "--summary", **kwargs).stdout)

    def printed(self, *args, **kwargs):
        lines = self.run_dialog(*args, "--print", **kwargs).stdout.splitlines()
        return dict(line.split("=", 1) for line in lines if "=" in line)

    def read_ticket(self):
        with open(self.ticket, "rb") as f:
            return plistlib.load(f)

    def profile_file(self):
        return os.path.join(self.root, PREFERENCES,
                            pwd.getpwuid(os.getuid()).pw_name + "-zrk5100-profile.plist")

    def write_profiles(self, groups):
        document = {"RGB": [], "SIM": [], "DST": []}
        document.update(groups)
        subprocess.run([PROFILE_TOOL, "write", self.profile_file()], input=json.dumps(document),
                       text=True, check=True, env=self.env)

    def install_helper(self, script):
        path = os.path.join(self.root, HELPER_PATH)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "w") as f:
            f.write(script)
        os.chmod(path, stat.S_IRWXU)
        return path


class MainPane(PrintDialogCase):
    def test_new_ticket_summary_lists_the_main_items_with_the_ppd_defaults(self):
        summary = self.summary()
        self.assertEqual(summary["Summary Display Order"][:8], MAIN_ITEMS)
        self.assertEqual(summary["Quick Color"], "Automatic")
        self.assertEqual(summary["Brightness"], "±0 (Normal)")
        self.assertEqual(summary["Color as Grayscale"], "Off")
        self.assertEqual(summary["Auto Trapping"], "On")
        self.assertEqual(summary["Black Overprint"], "Black Text")

    def test_color_as_grayscale_excludes_color_separation(self):
        controls = self.controls("--set", "VXColorAsGray=True")
        separation = controls["VXColorSeparation"]
        self.assertFalse(separation["enabled"])
        self.assertEqual(separation["value"], 0)
        self.assertEqual(separation["choice"], "False")

        refused = self.run_dialog("--set", "VXColorAsGray=True", "--set",
                                  "VXColorSeparation=True", "--save", expect=3)
        self.assertIn("VXColorSeparation", refused.stderr)
        self.assertFalse(os.path.exists(self.ticket))

    def test_refusals_name_the_keyword(self):
        for setting in ("VXNoSuchOption=True", "VXQuickColor=NoSuchPreset",
                        "VXColorAsGray=Maybe"):
            with self.subTest(setting=setting):
                result = self.run_dialog("--set", setting, "--save", expect=3)
                self.assertIn(setting.split("=")[0], result.stderr)
                self.assertEqual(len(result.stderr.strip().splitlines()), 1)
                self.assertFalse(os.path.exists(self.ticket))

    def test_only_the_custom_preset_enables_the_advanced_button(self):
        items = self.controls()["VXQuickColor"]["items"]
        self.assertEqual(len(items), 4)
        for index in range(4):
            with self.subTest(index=index):
                button = self.controls("--set", f"VXQuickColor=#{index}")["GoToAdvancedOptionsButton"]
                self.assertEqual(button["enabled"], index == 3)

    def test_saved_values_come_back_and_sit_in_the_model_dictionary(self):
        settings = ["VXQuickColor=Vivid", "VXBrightness=Plus1", "VXEconoMode=True",
                    "VXEdgeType=Strong", "VXAutoTrapping=False", "VXBlackOverprint=Off"]
        args = [a for s in settings for a in ("--set", s)]
        self.run_dialog(*args, "--save", "--printer-id", "Office_K5100")
        ticket = self.read_ticket()
        model = ticket["zrk5100"]["Office_K5100"]
        for setting in settings:
            keyword, choice = setting.split("=")
            self.assertEqual(model[keyword], choice)
            self.assertEqual(ticket[keyword], choice)
        controls = self.controls("--printer-id", "Office_K5100")
        for setting in settings:
            keyword, choice = setting.split("=")
            self.assertEqual(controls[keyword]["choice"], choice)

    def test_ppd_without_brightness(self):
        ppd = os.path.join(FIXTURES, "ZR-K5100-NoBrightness.ppd")
        brightness = self.controls(ppd=ppd)["VXBrightness"]
        self.assertEqual(brightness["items"], ["Darker", "Normal", "Lighter"])
        self.run_dialog("--set", "VXQuickColor=Photo", "--save", ppd=ppd)
        ticket = self.read_ticket()
        self.assertNotIn("VXBrightness", ticket)
        self.assertNotIn("VXBrightness", ticket["zrk5100"]["ZR-K5100-NoBrightness"])
        self.assertEqual(ticket["VXQuickColor"], "Photo")

    def test_menu_titles_of_every_encoding(self):
        cases = [
            (BUNDLED_PPD, "VXBrightness", "±0 (Normal)"),
            (os.path.join(FIXTURES, "ZR-K5100-UTF8.ppd"), "VXQuickColor", "自動"),
            (os.path.join(FIXTURES, "ZR-K5100-ShiftJIS.ppd"), "VXQuickColor", "写真"),
        ]
        for ppd, keyword, title in cases:
            with self.subTest(ppd=os.path.basename(ppd)):
                self.assertIn(title, self.controls(ppd=ppd)[keyword]["items"])

    def test_a_bundle_without_its_interface_file_shows_no_panel(self):
        bundle = os.path.join(self.root, "ColorOptionsPlugin.plugin")
        shutil.copytree(PLUGIN_DIR, bundle)
        os.remove(os.path.join(bundle, "Resources", "PDEMain.ui"))
        command = [PRINT_DIALOG, "--headless", "--ppd", BUNDLED_PPD, "--plugin", bundle]
        summary = subprocess.run(command + ["--summary"], env=self.env, capture_output=True,
                                 text=True, timeout=120)
        self.assertEqual(summary.returncode, 0, summary.stderr)
        self.assertEqual(json.loads(summary.stdout), {"Summary Display Order": []})
        state = subprocess.run(command + ["--state"], env=self.env, capture_output=True,
                               text=True, timeout=120)
        self.assertNotEqual(state.returncode, 0)
        self.assertIn("no view", state.stderr)

    def test_a_ticket_that_is_not_a_property_list_is_left_alone(self):
        with open(self.ticket, "w") as f:
            f.write("not a property list")
        self.run_dialog("--save", expect=2)
        with open(self.ticket) as f:
            self.assertEqual(f.read(), "not a property list")


class AdvancedPane(PrintDialogCase):
    def test_state_lists_every_row_of_the_combined_table(self):
        state = self.state("--show", "advanced")
        self.assertEqual(state["pane"], "advanced")
        self.assertEqual(len(state["controls"]), 13 + 46)
        keywords = [c["keyword"] for c in state["controls"] if c["keyword"]]
        self.assertEqual(keywords[8:], ADVANCED_KEYWORDS)
        tab = [c for c in state["controls"] if c["kind"] == "tab"][0]
        self.assertEqual(tab["title"], "Image")

    def test_presets_and_econo_mode_reach_the_job(self):
        options = self.printed("--set", "VXQuickColor=Vivid", "--set", "VXEconoMode=True")
        for keyword in ADVANCED_KEYWORDS:
            self.assertIn(keyword, options)
        # Preset 2 with EconoMode: image and graphics edge enhancement off, text on.
        self.assertEqual(options["VXImageEdgeEnhance"], "Off")
        self.assertEqual(options["VXGraphicsEdgeEnhance"], "Off")
        self.assertEqual(options["VXTextEdgeEnhance"], "On")
        self.assertEqual(options["VXImageHalftone"], "Detail")
        self.assertEqual(options["VXImageRGBSource"], "sRGB")
        self.assertEqual(options["VXSimSource"], "None")

        custom = self.printed("--set", "VXQuickColor=#3", "--set", "VXImageHalftone=Standard",
                              "--set", "VXTextRGBSource=eciRGB")
        self.assertEqual(custom["VXImageHalftone"], "Standard")
        self.assertEqual(custom["VXTextRGBSource"], "eciRGB")

    def test_rules_reach_the_advanced_controls(self):
        gray = self.controls("--set", "VXColorAsGray=True")
        for keyword in ADVANCED_KEYWORDS:
            if keyword.endswith("EdgeEnhance"):
                continue
            with self.subTest(keyword=keyword):
                self.assertEqual(gray[keyword]["enabled"], keyword.endswith("Halftone"))
        econo = self.controls("--set", "VXEconoMode=True")
        self.assertFalse(econo["VXImageEdgeEnhance"]["enabled"])
        self.assertTrue(econo["VXTextEdgeEnhance"]["enabled"])
        self.assertFalse(econo["VXGraphicsEdgeEnhance"]["enabled"])
        edge_off = self.controls("--set", "VXEdgeType=Off")
        for kind in ("Image", "Text", "Graphics"):
            self.assertFalse(edge_off[f"VX{kind}EdgeEnhance"]["enabled"])

    def test_summary_with_custom_and_with_a_preset(self):
        custom = self.summary("--set", "VXQuickColor=#3", "--set", "VXImageHalftone=Standard")
        preset = self.summary("--set", "VXQuickColor=Photo", "--set", "VXImageHalftone=Standard")
        self.assertEqual(len(custom["Summary Display Order"]), 29)
        self.assertEqual(custom["Summary Display Order"], preset["Summary Display Order"])
        self.assertEqual(custom["Image Halftone"], "Standard")
        self.assertEqual(preset["Image Halftone"], "Smooth")

    def test_profile_entries_in_the_menus_and_the_ticket(self):
        entry = lambda state, name, location: {
            "IndexOnDevice": 1, "InMenu": state, "ProfileClass": 1, "Location": location,
            "FileName": name, "ProfileName": name.split(".")[0].title()}
        self.write_profiles({"RGB": [entry(2, "A.ICC", 4), entry(6, "B.ICC", 4),
                                     entry(1, "C.ICC", 4), entry(4, "D.ICC", 4)]})
        for keyword in ("VXImageRGBSource", "VXTextRGBSource", "VXGraphicsRGBSource"):
            items = self.controls()[keyword]["items"]
            self.assertEqual(items[4:], ["B.ICC(B)Disk", "D.ICC(D)Disk"])

        self.run_dialog("--set", "VXQuickColor=#3", "--set", "VXImageRGBSource=#5", "--save")
        model = self.read_ticket()["zrk5100"]["ZR-K5100"]
        path = b"/ata1a/data/USfiles/Profiles/D.ICC"
        nibbles = "".join(chr(0x30 + (b >> 4)) + chr(0x30 + (b & 15)) for b in path)
        self.assertEqual(model["VXImageRGBSourceCustom"], "True")
        self.assertEqual(model["VXImageRGBSourceCustomFilename"], nibbles)
        self.assertEqual(self.controls()["VXImageRGBSource"]["value"], 5)
        # The job tells the printer which profile: the menu's path option, a
        # custom choice of the PPD whose code hands the path to the printer.
        options = self.printed()
        self.assertEqual(options["VXPathImageRGBSource"], "Custom." + nibbles)
        self.assertNotIn("VXImageRGBSourceCustom", options)
        self.assertNotIn("VXPathTextRGBSource", options)
        self.assertEqual(len([k for k in options if k.startswith("VX")]), 29 + 1)

        self.write_profiles({"RGB": [entry(6, "B.ICC", 4)]})
        self.assertEqual(self.controls()["VXImageRGBSource"]["choice"], "sRGB")

    def test_screenshots_of_both_panes(self):
        for pane in ("color", "advanced"):
            with self.subTest(pane=pane):
                png = os.path.join(self.root, pane + ".png")
                self.run_dialog("--show", pane, "--screenshot", png)
                with open(png, "rb") as f:
                    header = f.read(24)
                self.assertEqual(header[:8], b"\x89PNG\r\n\x1a\n")
                width = int.from_bytes(header[16:20], "big")
                height = int.from_bytes(header[20:24], "big")
                self.assertGreater(width, 300)
                self.assertGreater(height, 200)


class PrivilegedRequests(PrintDialogCase):
    """The panel asks the helper tool; a stand-in records what it is asked."""

    def stand_in(self, probe_reply):
        log = os.path.join(self.root, "helper.log")
        self.install_helper(textwrap.dedent(f"""\
            #!/bin/sh
            printf '%s\\n' "$*" >> '{log}'
            case "$1" in
              vxPListIsAdminProfile_XPC) echo "vxPListIsAdminProfile_XPC={probe_reply}" ;;
              mibwalk_XPC) echo "mibwalk_XPC=iRet=0" ;;
              *) echo "$1=TRUE" ;;
            esac
            """))
        return log

    def test_showing_the_panel_probes_the_store_and_backs_up_first(self):
        log = self.stand_in("TRUE")
        self.run_dialog("--summary", "--device-uri", "usb://Ostra/ZR-K5100")
        with open(log) as f:
            calls = f.read().splitlines()
        # One probe when the advanced pane's table is built, one when the view
        # is requested, then the backup before the (skipped) walk.
        self.assertEqual([c.split()[0] for c in calls],
                         ["vxPListIsAdminProfile_XPC", "vxPListIsAdminProfile_XPC",
                          "vxPListIsAdminProfile_XPC", "vxPListSwapProfile_XPC"])

    def test_management_button_follows_the_probe(self):
        for reply, enabled in (("TRUE", True), ("FALSE", False)):
            with self.subTest(reply=reply):
                self.stand_in(reply)
                button = [c for c in self.state()["controls"]
                          if c["title"].startswith("Manage")][0]
                self.assertEqual(button["enabled"], enabled)

    def test_showing_the_panel_refreshes_the_profiles_of_an_lpd_queue(self):
        log = self.stand_in("TRUE")
        self.run_dialog("--summary", "--device-uri", "lpd://192.168.0.20:515/queue")
        with open(log) as f:
            calls = f.read().splitlines()
        user = pwd.getpwuid(os.getuid()).pw_name
        walks = [c for c in calls if c.startswith("mibwalk_XPC")]
        self.assertEqual(walks, [f"mibwalk_XPC zrk5100 {user} snmpwalk -Os -c snmpro -v 1 "
                                 "192.168.0.20 1.3.6.1.4.1.18334.1.1.1.1.6.13.1.1"])
        # The backup comes first.
        swap = [c for c in calls if c.startswith("vxPListSwapProfile_XPC")]
        self.assertTrue(swap and swap[0].startswith("vxPListSwapProfile_XPC 2 "))
        self.assertLess(calls.index(swap[0]), calls.index(walks[0]))

    def test_menus_follow_a_refresh_that_deletes_a_shown_entry(self):
        entry = lambda name: {"IndexOnDevice": 1, "InMenu": 4, "ProfileClass": 1, "Location": 4,
                              "FileName": name, "ProfileName": name.split(".")[0].title()}
        # The walk's merge deletes the entry whose file name it refuses.
        after = os.path.join(self.root, "after-walk.plist")
        self.write_profiles({"RGB": [entry("B.ICC")]})
        shutil.copy(self.profile_file(), after)
        self.install_helper(textwrap.dedent(f"""\
            #!/bin/sh
            case "$1" in
              mibwalk_XPC) cp '{after}' '{self.profile_file()}'; echo "mibwalk_XPC=iRet=0" ;;
              *) echo "$1=TRUE" ;;
            esac
            """))
        before = {"RGB": [entry("BAD NAME"), entry("B.ICC")]}
        lpd = ("--device-uri", "lpd://127.0.0.1/queue")

        self.write_profiles(before)
        for keyword in ("VXImageRGBSource", "VXTextRGBSource", "VXGraphicsRGBSource"):
            self.assertEqual(self.controls(*lpd)[keyword]["items"][4:], ["B.ICC(B)Disk"])

        self.write_profiles(before)
        self.run_dialog(*lpd, "--set", "VXQuickColor=#3", "--set", "VXImageRGBSource=#4",
                        "--save")
        model = self.read_ticket()["zrk5100"]["ZR-K5100"]
        path = b"/ata1a/data/USfiles/Profiles/B.ICC"
        nibbles = "".join(chr(0x30 + (b >> 4)) + chr(0x30 + (b & 15)) for b in path)
        self.assertEqual(model["VXImageRGBSourceCustomFilename"], nibbles)

    def test_other_queues_are_not_walked(self):
        # An LPD queue is walked only when its host is a host name or an IPv4
        # address: not for an IPv6 literal (once "fe80"), nor with user-info.
        for uri in ("socket://10.0.0.1", "usb://Ostra/ZR-K5100", "MDNS://x._printer._tcp.local",
                    "lpd://[fe80::1]/q", "lpd://user@10.0.0.1/q"):
            with self.subTest(uri=uri):
                log = self.stand_in("TRUE")
                if os.path.exists(log):
                    os.remove(log)
                self.run_dialog("--summary", "--device-uri", uri)
                with open(log) as f:
                    self.assertNotIn("mibwalk_XPC", f.read())


class Languages(PrintDialogCase):
    """The panel speaks the user's language: its own strings from the
    translation files, the PPD's texts from the PPD's translations."""

    def in_locale(self, **variables):
        self.env = {k: v for k, v in self.env.items()
                    if k not in ("LC_ALL", "LC_MESSAGES", "LANG", "LANGUAGE")}
        self.env.update(variables)

    def english_and_local(self, locale, *args, output="controls", variables=None):
        read = self.state if output == "controls" else self.summary
        english = read(*args)
        self.in_locale(LANG=locale, **(variables or {}))
        return english, read(*args)

    def test_state_shows_translated_titles_and_ppd_texts(self):
        ppd_english = ppd_texts(BUNDLED_PPD)
        to_source = {text: source for source, text in translation_table("en").items()}
        english_env = dict(self.env)
        # An empty LC_ALL or LC_MESSAGES counts as unset: LANG decides.
        for locale, lang, variables in (("de_DE.UTF-8", "de", {}), ("ja_JP.UTF-8", "ja", {}),
                                        ("de_DE.UTF-8", "de", {"LC_ALL": "", "LC_MESSAGES": ""})):
            with self.subTest(locale=locale, variables=variables):
                self.env = dict(english_env)
                english, local = self.english_and_local(locale, "--show", "advanced",
                                                        variables=variables)
                table = translation_table(lang)
                ppd_local = ppd_texts(BUNDLED_PPD, lang)
                self.assertEqual(len(english["controls"]), len(local["controls"]))
                for ours, theirs in zip(english["controls"], local["controls"]):
                    self.assertEqual(ours["identifier"], theirs["identifier"])
                    keyword = theirs["keyword"]
                    if theirs["kind"] == "popup":
                        choices = list(ppd_english[keyword][1])
                        self.assertEqual(ours["items"],
                                         [ppd_english[keyword][1][c] for c in choices])
                        self.assertEqual(theirs["items"],
                                         [ppd_local[keyword][1][c] for c in choices], keyword)
                    else:
                        self.assertEqual(theirs["title"], table[to_source[ours["title"]]])
                    if keyword:
                        self.assertTrue(theirs["accessibleName"], keyword)
                controls = {c["keyword"]: c for c in local["controls"]}
                self.assertEqual(controls["VXBrightness"]["accessibleName"],
                                 {"de": "Helligkeit", "ja": "明るさ"}[lang])
                self.assertEqual(controls["VXColorAsGray"]["accessibleName"],
                                 table["Color as Grayscale"])

    def test_summary_shows_translated_names_and_ppd_texts(self):
        ppd_english = ppd_texts(BUNDLED_PPD)
        by_text = {text: keyword for keyword, (text, _) in ppd_english.items()}
        to_source = {text: source for source, text in translation_table("en").items()}
        english_env = dict(self.env)
        for locale, lang in (("de_DE.UTF-8", "de"), ("ja_JP.UTF-8", "ja")):
            with self.subTest(locale=locale):
                self.env = dict(english_env)
                english, local = self.english_and_local(
                    locale, "--set", "VXQuickColor=Photo", "--set", "VXColorAsGray=True",
                    output="summary")
                table = translation_table(lang)
                ppd_local = ppd_texts(BUNDLED_PPD, lang)
                expected_order, expected = [], {}
                for name in english["Summary Display Order"]:
                    keyword = by_text[name]
                    choice = [c for c, text in ppd_english[keyword][1].items()
                              if text == english[name]][0]
                    local_name = table[to_source[name]]
                    expected_order.append(local_name)
                    expected[local_name] = ppd_local[keyword][1][choice]
                self.assertEqual(local["Summary Display Order"], expected_order)
                del local["Summary Display Order"]
                self.assertEqual(local, expected)
                self.assertEqual(local[table["Brightness"]],
                                 {"de": "±0 (Normal)", "ja": "±0（標準）"}[lang])

    def test_a_ppd_without_translations_keeps_its_own_texts(self):
        self.in_locale(LANG="de_DE.UTF-8")
        controls = self.controls(ppd=os.path.join(FIXTURES, "ZR-K5100-UTF8.ppd"))
        own = ppd_texts(os.path.join(FIXTURES, "ZR-K5100-UTF8.ppd"))
        self.assertEqual(controls["VXQuickColor"]["items"], list(own["VXQuickColor"][1].values()))
        self.assertEqual(controls["VXColorAsGray"]["title"],
                         translation_table("de")["Color as Grayscale"])

    def test_language_list_picks_the_panels_strings(self):
        # LANGUAGE is the first choice for the panel's own strings, as in every
        # Qt program; libcups reads only the locale, so the PPD's texts follow LANG.
        self.in_locale(LANGUAGE="fr:de", LANG="C.UTF-8")
        controls = self.controls()
        self.assertEqual(controls["VXColorAsGray"]["title"], "Couleur en niveaux de gris")
        self.assertEqual(controls["VXQuickColor"]["items"][0], "Automatic")


    def test_a_message_gives_the_systems_reason_in_the_same_language(self):
        qt_german = "/usr/share/qt6/translations/qtbase_de.qm"
        if not os.path.exists(qt_german):
            self.skipTest("Qt's German translations are not installed")
        self.in_locale(LANG="de_DE.UTF-8")
        self.ticket = os.path.join(self.root, "missing", "ticket.plist")
        result = self.run_dialog("--save", expect=1)
        self.assertIn("Das Ticket kann nicht geschrieben werden".lower(), result.stderr.lower())
        self.assertNotIn("No such file", result.stderr)


class RulesExplained(PrintDialogCase):
    """A control a rule grays out says which control and value hold it."""

    def assert_reasons(self, controls, expected):
        for control in controls.values():
            if control["enabled"]:
                self.assertNotIn("reason", control, control["identifier"])
        for key, reason in expected.items():
            with self.subTest(control=key):
                self.assertFalse(controls[key]["enabled"])
                self.assertEqual(controls[key].get("reason"), reason)

    def test_color_as_grayscale_and_the_presets(self):
        gray = self.controls("--set", "VXColorAsGray=True")
        held = [k for k in ADVANCED_KEYWORDS if not k.endswith(("Halftone", "EdgeEnhance"))]
        expected = {k: "Unavailable while Color as Grayscale is on" for k in held}
        expected["VXColorSeparation"] = "Unavailable while Color as Grayscale is on"
        expected["GoToAdvancedOptionsButton"] = "Available with the Custom Quick Color only"
        self.assert_reasons(gray, expected)
        for keyword, control in gray.items():
            if control["keyword"]:
                self.assertTrue(control["accessibleName"], keyword)
            if keyword.endswith("Halftone"):
                self.assertNotIn("reason", control)

    def test_reasons_name_the_holding_control_and_value(self):
        cases = [
            (["VXQuickColor=CustomColor", "VXImageRGBSource=None",
              "VXTextDestinationProfile=Photo"],
             {"VXImageRenderIntent": "Unavailable while Image RGB Source is None",
              "VXTextGrayTreatment": "Available with the Auto Text Destination Profile only"}),
            (["VXQuickColor=CustomColor", "VXSimSource=None"],
             {"VXSimRenderIntent": "Unavailable while Simulation Profile is None",
              "VXSimGrayTreatment": "Unavailable while Simulation Profile is None"}),
            (["VXEconoMode=True"],
             {"VXImageEdgeEnhance": "Unavailable while EconoMode is on"}),
            (["VXEdgeType=Off"],
             {f"VX{kind}EdgeEnhance": "Unavailable while Edge Type is Off"
              for kind in ("Image", "Text", "Graphics")}),
            (["VXColorSeparation=True"],
             {"VXColorAsGray": "Unavailable while Color Separation is on"}),
        ]
        for settings, expected in cases:
            with self.subTest(settings=settings):
                arguments = [a for setting in settings for a in ("--set", setting)]
                self.assert_reasons(self.controls(*arguments), expected)

    def test_reasons_follow_the_values_a_printed_preset_shows(self):
        # Printing applies the Photo preset (Image RGB Source sRGB) without
        # the rules; no reason may still speak of the None chosen before.
        lines = self.run_dialog("--set", "VXQuickColor=CustomColor",
                                "--set", "VXImageRGBSource=None", "--set", "VXQuickColor=Photo",
                                "--print", "--state").stdout.splitlines()
        self.assertIn("VXImageRGBSource=sRGB", lines)
        controls = {c["keyword"] or c["identifier"] or c["title"]: c
                    for c in json.loads(lines[-1])["controls"]}
        self.assertEqual(controls["VXImageRGBSource"]["choice"], "sRGB")
        # No helper is installed here: the profile window cannot open.
        self.assert_reasons(controls, {
            "GoToAdvancedOptionsButton": "Available with the Custom Quick Color only",
            "Manage Profiles\u2026": "The profile service is not available"})
        self.assertTrue(controls["VXImageRenderIntent"]["enabled"])

    def test_reasons_are_localized(self):
        self.env.pop("LC_ALL")
        self.env["LANG"] = "de_DE.UTF-8"
        table = translation_table("de")
        gray = self.controls("--set", "VXColorAsGray=True")
        self.assertEqual(gray["VXImageRGBSource"]["reason"],
                         table["Unavailable while %1 is on"].replace(
                             "%1", table["Color as Grayscale"]))
        self.assertEqual(gray["GoToAdvancedOptionsButton"]["reason"],
                         table["Available with the %2 %1 only"]
                         .replace("%1", "Farbvorgabe").replace("%2", "Benutzerdefiniert"))



class PrintPathFaults(PrintDialogCase):
    """Queues and tickets that are not what the panel expects."""

    ALTERED = os.path.join(FIXTURES, "ZR-K5100-Altered.ppd")
    MISSING = ("VXImageHalftone", "VXEconoMode", "VXTextDestinationProfile")

    def test_a_ppd_that_lacks_adds_repeats_and_constrains_options(self):
        controls = self.controls("--show", "advanced", ppd=self.ALTERED)
        self.assertNotIn("VXExtraFinish", controls)
        for keyword in self.MISSING:
            with self.subTest(keyword=keyword):
                # The interface file's control stays, inert and bound to no
                # PPD choice.
                self.assertIn(keyword, controls)
                self.assertFalse(controls[keyword]["enabled"])
                self.assertIsNone(controls[keyword]["choice"])
        # The option stated twice offers the choices libcups gathered for it.
        self.assertEqual(set(controls["VXBlackOverprint"]["items"]),
                         {"Off", "Black Text", "Black Text and Graphics"})

        # Acting on a missing option is refused: nothing is saved. (A ticked
        # EconoMode box would otherwise turn edge enhancements off through
        # the presets.)
        for keyword, value in (("VXImageHalftone", "Detail"), ("VXEconoMode", "True")):
            with self.subTest(keyword=keyword):
                self.run_dialog("--set", "VXQuickColor=CustomColor", "--set",
                                f"{keyword}={value}", "--save", ppd=self.ALTERED, expect=3)
                self.assertFalse(os.path.exists(self.ticket))

        # The constrained pair can still be chosen; nothing of the missing
        # options reaches the ticket or the job.
        self.run_dialog("--set", "VXQuickColor=Photo", "--set", "VXBrightness=Plus2", "--set",
                        "VXBlackOverprint=Off", "--save", ppd=self.ALTERED)
        ticket = self.read_ticket()
        model = ticket["zrk5100"]["ZR-K5100-Altered"]
        self.assertEqual(model["VXBrightness"], "Plus2")
        self.assertEqual(model["VXQuickColor"], "Photo")
        printed = self.printed(ppd=self.ALTERED)
        self.assertEqual(printed["VXBrightness"], "Plus2")
        self.assertEqual(printed["VXBlackOverprint"], "Off")
        self.assertEqual(printed["VXImageRGBSource"], "sRGB", "the preset reached the job")
        for keyword in self.MISSING + ("VXExtraFinish",):
            with self.subTest(keyword=keyword):
                self.assertNotIn(keyword, ticket)
                self.assertNotIn(keyword, model)
                self.assertNotIn(keyword, printed)
        summary = self.summary(ppd=self.ALTERED)
        self.assertEqual(summary["Brightness"], "+2 (Lighter)")

        # A profile menu whose option is missing offers no profiles, selects
        # nothing and is not summarised, even with profiles in the file.
        self.write_profiles({"DST": [{
            "IndexOnDevice": 1, "InMenu": 4, "ProfileClass": 3, "Location": 5,
            "FileName": "P.ICC", "ProfileName": "P"}]})
        controls = self.controls("--set", "VXQuickColor=CustomColor", ppd=self.ALTERED)
        self.assertEqual(controls["VXTextDestinationProfile"]["items"], [])
        self.assertEqual(controls["VXTextDestinationProfile"]["value"], -1)
        self.assertEqual(controls["VXImageDestinationProfile"]["items"][-1], "P.ICC(P)Card")
        summary = self.summary("--set", "VXQuickColor=CustomColor", ppd=self.ALTERED)
        self.assertNotIn("Text Destination Profile", summary)
        self.assertIn("Image Destination Profile", summary)

    def test_tickets_that_cannot_be_used_stop_the_run_untouched(self):
        def junk():
            with open(self.ticket, "w") as f:
                f.write("somebody's notes, not a ticket")

        def array_root():
            with open(self.ticket, "wb") as f:
                plistlib.dump(["VXQuickColor", "Photo"], f)

        def empty():
            open(self.ticket, "wb").close()

        def folder():
            os.mkdir(self.ticket)

        for make in (junk, array_root, empty, folder):
            with self.subTest(ticket=make.__name__):
                make()
                before = self.snapshot_ticket()
                result = self.run_dialog("--set", "VXQuickColor=Photo", "--save", "--print",
                                         expect=2)
                self.assertIn("ticket", result.stderr)
                self.assertEqual(result.stdout, "")
                self.assertEqual(self.snapshot_ticket(), before)
                if os.path.isdir(self.ticket):
                    os.rmdir(self.ticket)
                else:
                    os.remove(self.ticket)

    def test_tickets_of_another_shape_restore_neutrally(self):
        # A product entry (or the queue's model entry) that is no dictionary
        # leaves the panel's choices nowhere to go: the job would carry the
        # ticket's stale top-level values. Refused, the file untouched.
        refused = {
            "product key is an array": {"zrk5100": ["ZR-K5100"], "Copies": 2,
                                        "VXQuickColor": "Vivid"},
            "model dictionary is a string": {"zrk5100": {"ZR-K5100": "Photo",
                                                         "Lab": {"VXQuickColor": "Vivid"}}},
        }
        for name, settings in refused.items():
            with self.subTest(shape=name):
                with open(self.ticket, "wb") as f:
                    plistlib.dump(settings, f)
                before = self.snapshot_ticket()
                result = self.run_dialog("--set", "VXQuickColor=Photo", "--save", "--print",
                                         expect=2)
                self.assertEqual(len(result.stderr.splitlines()), 1, result.stderr)
                self.assertIn("zrk5100", result.stderr)
                self.assertEqual(result.stdout, "")
                self.assertEqual(self.snapshot_ticket(), before)
                os.remove(self.ticket)
        shapes = {
            "values of other types": {"zrk5100": {"ZR-K5100": {
                "VXQuickColor": 1, "VXBrightness": {"Plus1": True}, "VXColorAsGray": ["True"],
                "VXImageHalftone": b"Detail"}}},
        }
        for name, settings in shapes.items():
            for fmt in (plistlib.FMT_XML, plistlib.FMT_BINARY):
                with self.subTest(shape=name, binary=fmt == plistlib.FMT_BINARY):
                    with open(self.ticket, "wb") as f:
                        plistlib.dump(settings, f, fmt=fmt)
                    controls = self.controls()
                    self.assertEqual(controls["VXQuickColor"]["choice"], "Automatic")
                    self.assertEqual(controls["VXBrightness"]["choice"], "Normal")
                    self.assertEqual(controls["VXColorAsGray"]["choice"], "False")
                    self.run_dialog("--save")
                    saved = self.read_ticket()
                    # What the panel does not own survives the save.
                    for key, value in settings.items():
                        if key != "zrk5100":
                            self.assertEqual(saved[key], value)
                    product = settings["zrk5100"]
                    if isinstance(product, dict):
                        for queue, model in product.items():
                            if queue != "ZR-K5100":
                                self.assertEqual(saved["zrk5100"][queue], model)
                    else:
                        self.assertEqual(saved["zrk5100"], product)
                    os.remove(self.ticket)

    def test_a_link_to_another_users_ticket_never_changes_it(self):
        other = os.path.join(self.root, "other")
        os.mkdir(other)
        target = os.path.join(other, "ticket.plist")
        with open(target, "wb") as f:
            plistlib.dump({"zrk5100": {"ZR-K5100": {"VXQuickColor": "Vivid"}}}, f)
        if os.getuid() == 0:
            nobody = pwd.getpwnam("nobody")
            os.chown(other, nobody.pw_uid, nobody.pw_gid)
            os.chown(target, nobody.pw_uid, nobody.pw_gid)
        before = os.stat(target)
        with open(target, "rb") as f:
            contents = f.read()
        os.symlink(target, self.ticket)
        result = self.run_dialog("--set", "VXQuickColor=Photo", "--save", expect=None)
        self.assertIn(result.returncode, (0, 2), result.stderr)
        with open(target, "rb") as f:
            self.assertEqual(f.read(), contents)
        after = os.stat(target)
        self.assertEqual((after.st_uid, after.st_mode, after.st_mtime_ns),
                         (before.st_uid, before.st_mode, before.st_mtime_ns))

    def test_an_unreadable_ticket_stops_the_run_untouched(self):
        with open(self.ticket, "wb") as f:
            plistlib.dump({"zrk5100": {}}, f)
        os.chmod(self.ticket, 0)
        user = None
        if os.getuid() == 0:
            # Root reads every file: the dialog runs as an ordinary user.
            user = "nobody"
            os.chmod(self.root, 0o755)
            runtime = os.path.join(self.root, "runtime-nobody")
            os.mkdir(runtime, 0o700)
            os.chown(runtime, pwd.getpwnam(user).pw_uid, -1)
            self.env["XDG_RUNTIME_DIR"] = runtime
        before = self.snapshot_ticket()
        command = [PRINT_DIALOG, "--headless", "--ppd", BUNDLED_PPD, "--plugin", PLUGIN_DIR,
                   "--ticket", self.ticket, "--set", "VXQuickColor=Photo", "--save"]
        result = subprocess.run(command, env=self.env, capture_output=True, text=True,
                                timeout=120, user=user)
        self.assertEqual(result.returncode, 2, result.stderr)
        self.assertIn("ticket", result.stderr)
        self.assertEqual(self.snapshot_ticket(), before)

    def snapshot_ticket(self):
        info = os.lstat(self.ticket)
        if stat.S_ISDIR(info.st_mode):
            return ("dir", sorted(os.listdir(self.ticket)))
        os.chmod(self.ticket, info.st_mode | stat.S_IRUSR)
        try:
            with open(self.ticket, "rb") as f:
                return (info.st_mode, info.st_mtime_ns, f.read())
        finally:
            os.chmod(self.ticket, info.st_mode)


if __name__ == "__main__":
    unittest.main()
