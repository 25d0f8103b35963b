"""Every string the panel, its window and print-dialog show has a translation
in every language, and the bundled PPD translates every option and choice."""

import os
import re
import shutil
import subprocess
import tempfile
import unittest
import xml.etree.ElementTree as ET

SOURCE_DIR = os.environ.get("ZRK_SOURCE_DIR", os.path.join(os.path.dirname(__file__), "..", ".."))
LANGUAGES = ["de", "fr", "es", "it", "ja"]
# (folder, file prefix) of each set of translation files; <prefix>_en.ts lists the strings.
TABLES = [("PDE/Resources", "Localizable"), ("PrintHost/translations", "print-dialog")]
PLACEHOLDER = re.compile(r"%\d")
BUNDLED_PPD = os.path.join(SOURCE_DIR, "PDE/Resources/ZR-K5100.ppd")


def read_ts(path):
    """{(context, source): (translation text, type attribute)}"""
    messages = {}
    for context in ET.parse(path).getroot().iter("context"):
        name = context.findtext("name")
        for message in context.iter("message"):
            translation = message.find("translation")
            key = (name, message.findtext("source"))
            messages[key] = (translation.text or "", translation.get("type"))
    return messages


class TranslationFiles(unittest.TestCase):
    def test_every_string_is_translated_in_every_language(self):
        for folder, prefix in TABLES:
            english = read_ts(os.path.join(SOURCE_DIR, folder, f"{prefix}_en.ts"))
            self.assertTrue(english, folder)
            for lang in LANGUAGES:
                path = os.path.join(SOURCE_DIR, folder, f"{prefix}_{lang}.ts")
                with self.subTest(file=path):
                    self.assertTrue(os.path.exists(path))
                    translated = read_ts(path)
                    self.assertEqual(set(translated) - set(english), set(),
                                     "strings the English table does not have")
                    for key, (text, _) in english.items():
                        self.assertIn(key, translated, f"no {lang} translation of {key}")
                        their, kind = translated[key]
                        self.assertIsNone(kind, f"{key} is marked {kind}")
                        # An empty English text means "no localized string";
                        # every language must say the same.
                        self.assertEqual(bool(their), bool(text), f"{key}: {their!r}")
                        self.assertEqual(sorted(PLACEHOLDER.findall(their)),
                                         sorted(PLACEHOLDER.findall(key[1])), key)

    def test_every_text_print_dialog_translates_is_in_its_table(self):
        english = {source for (_, source) in read_ts(
            os.path.join(SOURCE_DIR, "PrintHost/translations/print-dialog_en.ts"))}
        call = re.compile(r'(?:dialogText\(|translate\(\s*"print-dialog"\s*,)\s*'
                          r'((?:"(?:[^"\\]|\\.)*"\s*)+)')
        escape = re.compile(r'\\(u[0-9A-Fa-f]{4}|.)')
        unescaped = {"n": "\n", "t": "\t", '"': '"', "\\": "\\", "'": "'"}

        def text_of(literals):
            joined = "".join(re.findall(r'"((?:[^"\\]|\\.)*)"', literals))
            return escape.sub(lambda m: chr(int(m.group(1)[1:], 16)) if m.group(1)[0] == "u"
                              else unescaped[m.group(1)], joined)

        folder = os.path.join(SOURCE_DIR, "PrintHost")
        found = 0
        for name in sorted(os.listdir(folder)):
            if not name.endswith(".cpp"):
                continue
            with open(os.path.join(folder, name), encoding="utf-8") as f:
                source = f.read()
            for match in call.finditer(source):
                found += 1
                self.assertIn(text_of(match.group(1)), english, name)
        self.assertGreater(found, 10)

    def test_the_interface_files_texts_are_in_the_table(self):
        english = {source for (_, source) in read_ts(
            os.path.join(SOURCE_DIR, "PDE/Resources/Localizable_en.ts"))}
        ui = ET.parse(os.path.join(SOURCE_DIR, "PDE/Resources/ProfileManagement.ui")).getroot()
        shown = {"text", "windowTitle", "accessibleName", "title", "pdeAccessibleName"}
        for prop in ui.iter("property"):
            text = prop.findtext("string")
            if prop.get("name") in shown and text:
                self.assertIn(text, english)
        # The panel's titles come from the tables, but a pop-up whose option
        # the PPD lacks keeps the items its interface file gives it.
        panel = ET.parse(os.path.join(SOURCE_DIR, "PDE/Resources/PDEMain.ui")).getroot()
        for item in panel.findall(".//widget[@class='QComboBox']/item/property[@name='text']"):
            self.assertIn(item.findtext("string"), english)


class BundledPPDTranslations(unittest.TestCase):
    def test_cupstestppd_finds_every_translation(self):
        tool = shutil.which("cupstestppd")
        if not tool:
            self.skipTest("cupstestppd is not installed")
        with open(BUNDLED_PPD, "rb") as f:
            ppd = f.read()
        # cupstestppd checks translations only for the languages a PPD
        # declares, and then wants 7-bit default texts; the bundled PPD keeps
        # its Latin-1 default texts, so the check runs on a declaring copy
        # whose default texts are made ASCII.
        ppd = ppd.replace(b"*cupsVersion: 2.4",
                          b'*cupsVersion: 2.4\n*cupsLanguages: "' +
                          " ".join(LANGUAGES).encode() + b'"', 1)
        lines = []
        for line in ppd.split(b"\n"):
            if not re.match(rb"\*[a-z]{2}(_[A-Z]{2})?\.", line):
                line = bytes(c if c < 0x80 else 0x3F for c in line)
            lines.append(line)
        with tempfile.NamedTemporaryFile(suffix=".ppd") as copy:
            copy.write(b"\n".join(lines))
            copy.flush()
            result = subprocess.run([tool, "-W", "all", copy.name], capture_output=True,
                                    text=True)
        self.assertEqual(result.returncode, 0, result.stdout)
        self.assertNotIn("Missing", result.stdout)


if __name__ == "__main__":
    unittest.main()
