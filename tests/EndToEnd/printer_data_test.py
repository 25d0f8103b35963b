"""What the printer receives, through a real cupsd whose queue prints to a file.

One private cupsd serves every case of the class. Its queue is made from the
PPD as the build writes it and prints through the stock filters into a file;
Ghostscript runs each job's document setup as the printer would
(tools/simprinter/readback.py) and reads back what every VX key holds when
the pages begin. print-dialog finds the real bundle beside itself, as
installed, and loads it because the PPD names it.
"""

import json
import os
import shutil
import socket
import subprocess
import sys
import tempfile
import time
import unittest

PRINT_DIALOG = os.environ.get("ZRK_PRINT_DIALOG", "")
PROFILE_TOOL = os.environ.get("ZRK_PROFILE_TOOL", "")
SOURCE_DIR = os.environ.get("ZRK_SOURCE_DIR", os.path.join(os.path.dirname(__file__), "..", ".."))
BUILT_PPD = os.environ.get("ZRK_BUILT_PPD", "")
FOREIGN_PPD = os.path.join(SOURCE_DIR, "tests/fixtures/ppd/Generic-Laser.ppd")
PREFERENCES = "Library/Printers/Ostra/Preferences/com.ostra.printers.ZR-K5100"

sys.path.insert(0, os.path.join(SOURCE_DIR, "tools/simprinter"))
import readback  # noqa: E402

TEST_PAGE = (b"%!PS-Adobe-3.0\n%%Pages: 1\n%%EndComments\n%%Page: 1 1\n"
             b"/Helvetica findfont 24 scalefont setfont 72 720 moveto (test) show\n"
             b"showpage\n%%EOF\n")


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


class PrivateCupsd:
    def __init__(self, root):
        self.root = root
        self.port = free_port()
        self.process = None

    def start(self):
        root = self.root
        for sub in ("spool/tmp", "cache", "state", "log", "ppd", "ssl", "out"):
            os.makedirs(os.path.join(root, sub), exist_ok=True)
        with open(os.path.join(root, "cupsd.conf"), "w") as f:
            f.write(f"Listen 127.0.0.1:{self.port}\nLogLevel warn\nBrowsing No\n"
                    "BrowseLocalProtocols none\nDefaultAuthType None\nWebInterface No\n"
                    "PreserveJobHistory Yes\nPreserveJobFiles No\n"
                    "<Location />\n  Order allow,deny\n  Allow 127.0.0.1\n</Location>\n"
                    "<Location /admin>\n  Order allow,deny\n  Allow 127.0.0.1\n</Location>\n"
                    "<Policy default>\n  <Limit All>\n    Order deny,allow\n  </Limit>\n"
                    "</Policy>\n")
        with open(os.path.join(root, "cups-files.conf"), "w") as f:
            f.write(f"FileDevice Yes\nServerRoot {root}\nRequestRoot {root}/spool\n"
                    f"TempDir {root}/spool/tmp\nCacheDir {root}/cache\nStateDir {root}/state\n"
                    f"AccessLog {root}/log/access_log\nErrorLog {root}/log/error_log\n"
                    f"PageLog {root}/log/page_log\nPrintcap {root}/printcap\n"
                    "User lp\nGroup lp\nSystemGroup root\n")
        # The filters run as lp: the folders and the output file must be theirs to reach.
        os.chmod(root, 0o755)
        os.chmod(os.path.join(root, "out"), 0o777)
        self.process = subprocess.Popen(
            ["/usr/sbin/cupsd", "-f", "-c", os.path.join(root, "cupsd.conf"), "-s",
             os.path.join(root, "cups-files.conf")],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        for _ in range(100):
            if self.process.poll() is not None:
                break
            with socket.socket() as s:
                if s.connect_ex(("127.0.0.1", self.port)) == 0:
                    return True
            time.sleep(0.1)
        return False

    def stop(self):
        if self.process and self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()


class ForeignPrinter(unittest.TestCase):
    """A PPD that names no panel: the dialog has no Color Options."""

    def test_a_foreign_ppd_gets_no_panel(self):
        if not os.access(PRINT_DIALOG, os.X_OK):
            self.skipTest("print-dialog is not built")
        with tempfile.TemporaryDirectory() as root:
            env = dict(os.environ, ZRK5100_ROOT=root, QT_QPA_PLATFORM="offscreen",
                       LC_ALL="C.UTF-8")
            run = lambda *args: subprocess.run(
                [PRINT_DIALOG, "--headless", "--ppd", FOREIGN_PPD, *args], env=env,
                capture_output=True, text=True, timeout=60)
            shown = run("--summary", "--state")
            self.assertEqual(shown.returncode, 0, shown.stderr)
            summary, state = map(json.loads, shown.stdout.splitlines())
            self.assertEqual(summary, {"Summary Display Order": []})
            self.assertEqual(state["controls"], [])
            refused = run("--set", "VXBrightness=Darker", "--summary")
            self.assertEqual(refused.returncode, 2)
            self.assertEqual(len(refused.stderr.splitlines()), 1, refused.stderr)
            self.assertIn("names no Color Options panel", refused.stderr)
            self.assertEqual(refused.stdout, "")


class PrinterData(unittest.TestCase):
    QUEUE = "ZRK"

    @classmethod
    def setUpClass(cls):
        if os.geteuid() != 0:
            raise unittest.SkipTest("cupsd must start as root")
        for tool in ("/usr/sbin/cupsd", "/usr/sbin/lpadmin", shutil.which("gs") or "",
                     "/usr/lib/cups/filter/pstops", PRINT_DIALOG, PROFILE_TOOL):
            if not tool or not os.access(tool, os.X_OK):
                raise unittest.SkipTest(f"{tool or 'gs'} is not available")
        cls.tmp = tempfile.TemporaryDirectory()
        cls.root = cls.tmp.name
        os.chmod(cls.root, 0o755)  # the filters (user lp) reach the server's folders
        cls.cupsd = PrivateCupsd(os.path.join(cls.root, "cups"))
        if not cls.cupsd.start():
            cls.cupsd.stop()
            cls.tmp.cleanup()
            raise unittest.SkipTest("cupsd did not start")
        home = os.path.join(cls.root, "home")
        etc = os.path.join(cls.root, "etc")
        runtime = os.path.join(cls.root, "runtime")
        os.makedirs(home)
        os.makedirs(etc)
        os.mkdir(runtime, 0o700)
        os.makedirs(os.path.join(cls.root, "zroot", PREFERENCES))
        cls.env = dict(os.environ, CUPS_SERVER=f"127.0.0.1:{cls.cupsd.port}", CUPS_USER="root",
                       HOME=home, CUPS_SERVERROOT=etc, ZRK5100_ROOT=os.path.join(cls.root, "zroot"),
                       QT_QPA_PLATFORM="offscreen", XDG_RUNTIME_DIR=runtime, LC_ALL="C.UTF-8")
        cls.output = os.path.join(cls.cupsd.root, "out", "job.ps")
        cls.page = os.path.join(cls.root, "page.ps")
        with open(cls.page, "wb") as f:
            f.write(TEST_PAGE)
        cls.tool("/usr/sbin/lpadmin", "-p", cls.QUEUE, "-v", "file:" + cls.output, "-P",
                 BUILT_PPD, "-E")

    @classmethod
    def tearDownClass(cls):
        cls.cupsd.stop()
        cls.tmp.cleanup()

    @classmethod
    def tool(cls, *command, expect=0, env=None):
        result = subprocess.run(list(command), env=env or cls.env, capture_output=True,
                                text=True, timeout=120)
        if expect is not None and result.returncode != expect:
            raise AssertionError(f"{command}: {result.returncode}\n{result.stdout}{result.stderr}")
        return result

    def dialog(self, *args, expect=0, env=None):
        return self.tool(PRINT_DIALOG, "--headless", "--queue", self.QUEUE, *args,
                         expect=expect, env=env)

    def received(self, submit):
        """What the printer's setup holds after the job `submit()` makes."""
        if os.path.exists(self.output):
            os.remove(self.output)
        text = submit()
        job = [w for w in text.replace("job-id: ", f"{self.QUEUE}-").split()
               if w.startswith(f"{self.QUEUE}-")]
        self.assertTrue(job, text)
        for _ in range(300):
            done = self.tool("lpstat", "-W", "completed", "-o", self.QUEUE).stdout
            if any(line.split()[0] == job[-1] for line in done.splitlines() if line.strip()):
                break
            time.sleep(0.1)
        with open(self.output, "rb") as f:
            return readback.read_settings(f.read())

    def panel_job(self, *sets, sent=None):
        """The printer's settings after the panel's job; `sent` gets the job's options."""
        args = []
        for s in sets:
            args += ["--set", s]

        def submit():
            out = self.dialog(*args, "--print").stdout
            if sent is not None:
                sent.update(line.split("=", 1) for line in out.splitlines() if "=" in line)
            return out
        return self.received(submit)

    def bare_job(self, *options):
        args = []
        for o in options:
            args += ["-o", o]
        return self.received(lambda: self.tool("lp", "-d", self.QUEUE, *args, self.page).stdout)

    def test_every_preset_gives_the_printer_the_panels_settings(self):
        # Custom under another program's dialog keeps the advanced option chosen.
        custom = self.bare_job("VXQuickColor=CustomColor", "VXImageHalftone=Detail")
        self.assertEqual(custom["VXImageHalftone"], "Detail")
        for preset in ("Automatic", "Photo", "Vivid"):
            for econo in ("False", "True"):
                with self.subTest(preset=preset, econo=econo):
                    sent = {}
                    panel = self.panel_job(f"VXQuickColor={preset}", f"VXEconoMode={econo}",
                                           sent=sent)
                    bare = self.bare_job(f"VXQuickColor={preset}", f"VXEconoMode={econo}")
                    # The printer holds what the panel shows and sent...
                    vx = {k: v for k, v in sent.items() if k.startswith("VX")}
                    self.assertEqual(len(vx), 29)
                    self.assertEqual(panel, vx)
                    # ...and a job naming only the preset gets the same.
                    self.assertEqual(bare, panel)

    def test_a_chosen_profile_reaches_the_printer_in_every_profile_menu(self):
        entry = lambda name, cls_, location: {
            "IndexOnDevice": 1, "InMenu": 4, "ProfileClass": cls_, "Location": location,
            "FileName": name, "ProfileName": name.split(".")[0].title()}
        profiles = {"RGB": [entry("CARD.ICC", 1, 5)], "SIM": [entry("SIMUL.ICC", 3, 4)],
                    "DST": [entry("DISK.ICC", 3, 4)]}
        profile_file = os.path.join(self.env["ZRK5100_ROOT"], PREFERENCES,
                                    "root-zrk5100-profile.plist")
        subprocess.run([PROFILE_TOOL, "write", profile_file], input=json.dumps(profiles),
                       text=True, check=True, env=self.env)
        menus = {"VXImageRGBSource": "/ataCf1a/data/USfiles/Profiles/CARD.ICC",
                 "VXTextRGBSource": "/ataCf1a/data/USfiles/Profiles/CARD.ICC",
                 "VXGraphicsRGBSource": "/ataCf1a/data/USfiles/Profiles/CARD.ICC",
                 "VXImageDestinationProfile": "/ata1a/data/USfiles/Profiles/DISK.ICC",
                 "VXTextDestinationProfile": "/ata1a/data/USfiles/Profiles/DISK.ICC",
                 "VXGraphicsDestinationProfile": "/ata1a/data/USfiles/Profiles/DISK.ICC",
                 "VXSimSource": "/ata1a/data/USfiles/Profiles/SIMUL.ICC"}
        state = json.loads(self.dialog("--set", "VXQuickColor=CustomColor", "--state").stdout)
        sets = ["VXQuickColor=CustomColor"]
        for control in state["controls"]:
            if control["keyword"] in menus:
                sets.append(f"{control['keyword']}=#{len(control['items']) - 1}")
        self.assertEqual(len(sets), 8, state)
        printer = self.panel_job(*sets)
        for keyword, path in menus.items():
            with self.subTest(menu=keyword):
                self.assertEqual(readback.decode_nibbles(printer[keyword + "Path"]), path)
        # A preset chooses no profile: none reaches the printer.
        printer = self.panel_job("VXQuickColor=Photo")
        self.assertEqual([k for k in printer if k.endswith("Path")], [])

    def test_saved_defaults_keep_the_other_options_of_the_queue(self):
        self.tool("lpoptions", "-p", self.QUEUE, "-o", "PageSize=Letter", "-o",
                  "Resolution=1200dpi")
        ticket = os.path.join(self.root, "ticket.plist")
        self.dialog("--ticket", ticket, "--set", "VXQuickColor=Vivid", "--save-defaults")
        saved = self.tool("lpoptions", "-p", self.QUEUE).stdout
        for option in ("PageSize=Letter", "Resolution=1200dpi", "VXQuickColor=Vivid"):
            self.assertIn(option, saved.split())
        # A save that cannot be written says why, in the system's words.
        blocked = dict(self.env, HOME=self.page)
        failed = self.dialog("--set", "VXQuickColor=Photo", "--save-defaults", expect=1,
                             env=blocked)
        self.assertNotIn("successful-ok", failed.stderr)
        self.assertIn("Not a directory", failed.stderr)

    def test_documents_and_queue_names(self):
        empty = os.path.join(self.root, "empty.pdf")
        open(empty, "w").close()
        refused = self.dialog("--file", empty, "--print", expect=2)
        self.assertEqual(len(refused.stderr.splitlines()), 1, refused.stderr)
        self.assertIn("empty", refused.stderr)
        self.tool("/usr/sbin/lpadmin", "-p", "Büro", "-v", "file:/dev/null", "-P", BUILT_PPD,
                  "-E")
        state = self.tool(PRINT_DIALOG, "--headless", "--queue", "Büro", "--state")
        self.assertTrue(json.loads(state.stdout)["controls"])


if __name__ == "__main__":
    unittest.main()
