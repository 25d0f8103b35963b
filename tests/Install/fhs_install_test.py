"""The FHS layout staged: its places, its RUNPATHs, and print-dialog on a CUPS queue.

Configures and builds the FHS layout of the same sources in a build tree of its
own (ZRK_FHS_BUILD_DIR, beside the regular one so that a compiler cache finds
the regular build's objects), installs it into a staging root, and checks:
every place of the table, no /Library anywhere, no RUNPATH but $ORIGIN-relative
ones or the private library folder, no development tool. Then, as root, a
private cupsd whose driver search (its DataDir's model folder) is the staged
/usr/share/ppd makes a queue with lpadmin -m, and the staged print-dialog, run
under the staging root, shows the panel's 29 VX controls on it.
"""

import json
import os
import shutil
import socket
import subprocess
import tempfile
import time
import unittest

SOURCE = os.environ.get("ZRK_SOURCE_DIR", os.path.join(os.path.dirname(__file__), "..", ".."))
FHS_BUILD = os.environ.get("ZRK_FHS_BUILD_DIR", "")
CMAKE_ARGS = [a for a in os.environ.get("ZRK_FHS_CMAKE_ARGS", "").split(";") if a]

EXPECTED = [
    "usr/bin/print-dialog",
    "usr/bin/profile-tool",
    "usr/libexec/zr-k5100/ProfileService",
    "usr/libexec/zr-k5100/ZR-K5100Helper",
    "usr/lib/zr-k5100/libPrintHost.so.1",
    "usr/lib/zr-k5100/ColorOptionsPlugin.plugin/Info.json",
    "usr/lib/zr-k5100/ColorOptionsPlugin.plugin/libColorOptionsPlugin.so",
    "usr/lib/zr-k5100/ColorOptionsPlugin.plugin/Resources/PDEMain.ui",
    "usr/lib/zr-k5100/ColorOptionsPlugin.plugin/Resources/Localizable_ja.qm",
    "usr/share/zr-k5100/resources/fileExistZRK5100.png",
    "usr/share/ppd/zr-k5100/ZR-K5100.ppd",
    "usr/share/dbus-1/system-services/com.ostra.ZR-K5100.service",
    "usr/share/dbus-1/system.d/com.ostra.ZR-K5100.conf",
    "usr/lib/systemd/system/com.ostra.ZR-K5100.service",
    "usr/share/applications/zr-k5100-color-options.desktop",
    "usr/share/man/man1/print-dialog.1",
    "usr/share/man/man1/profile-tool.1",
]


def run(command, **kwargs):
    return subprocess.run(command, capture_output=True, text=True, timeout=1200, **kwargs)


def is_elf(path):
    with open(path, "rb") as f:
        return f.read(4) == b"\x7fELF"


class PrivateCupsd:
    """cupsd in the foreground on loopback, whose driver search is a given folder."""

    def __init__(self, root, model_dir):
        self.root = root
        data = os.path.join(root, "data")
        os.makedirs(data)
        # The system's data, but the staged PPDs as the model folder.
        for name in os.listdir("/usr/share/cups"):
            if name != "model":
                os.symlink(os.path.join("/usr/share/cups", name), os.path.join(data, name))
        os.symlink(model_dir, os.path.join(data, "model"))
        for sub in ("spool/tmp", "cache", "state", "log", "ppd", "ssl"):
            os.makedirs(os.path.join(root, sub))
        with socket.socket() as s:
            s.bind(("127.0.0.1", 0))
            self.port = s.getsockname()[1]
        with open(os.path.join(root, "cupsd.conf"), "w") as f:
            f.write(f"Listen 127.0.0.1:{self.port}\nLogLevel info\nBrowsing No\n"
                    "BrowseLocalProtocols none\nDefaultAuthType None\nWebInterface No\n"
                    "<Location />\n  Order allow,deny\n  Allow 127.0.0.1\n</Location>\n"
                    "<Location /admin>\n  Order allow,deny\n  Allow 127.0.0.1\n</Location>\n"
                    "<Policy default>\n  <Limit All>\n    Order deny,allow\n  </Limit>\n"
                    "</Policy>\n")
        with open(os.path.join(root, "cups-files.conf"), "w") as f:
            f.write(f"ServerRoot {root}\nDataDir {data}\nRequestRoot {root}/spool\n"
                    f"TempDir {root}/spool/tmp\nCacheDir {root}/cache\nStateDir {root}/state\n"
                    f"AccessLog {root}/log/access_log\nErrorLog {root}/log/error_log\n"
                    f"PageLog {root}/log/page_log\nPrintcap {root}/printcap\n"
                    "User lp\nGroup lp\nSystemGroup root\n")
        self.process = subprocess.Popen(
            ["/usr/sbin/cupsd", "-f", "-c", os.path.join(root, "cupsd.conf"), "-s",
             os.path.join(root, "cups-files.conf")],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, start_new_session=True)
        self.env = dict(os.environ, CUPS_SERVER=f"127.0.0.1:{self.port}", CUPS_USER="root",
                        LC_ALL="C")
        # lpstat -r answers with status 0 either way; its words tell.
        for _ in range(100):
            if self.process.poll() is not None:
                break
            if "scheduler is running" in run(["lpstat", "-r"], env=self.env).stdout:
                return
            time.sleep(0.1)
        self.stop()
        raise RuntimeError("cupsd did not start: " + self.error_log())

    def error_log(self):
        try:
            with open(os.path.join(self.root, "log", "error_log")) as f:
                return f.read()
        except OSError:
            return ""

    def stop(self):
        if self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()


class StagedFHSInstallation(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        if not FHS_BUILD:
            raise unittest.SkipTest("no FHS build folder given")
        configure = run(["cmake", "-S", SOURCE, "-B", FHS_BUILD, "-G", "Ninja", "-DZRK_LAYOUT=FHS",
                         "-DCMAKE_INSTALL_PREFIX=/usr", "-DZRK_BUILD_TESTS=OFF",
                         "-DZRK_BUILD_BENCHMARKS=OFF", *CMAKE_ARGS])
        assert configure.returncode == 0, configure.stdout + configure.stderr
        build = run(["cmake", "--build", FHS_BUILD, "-j", str(os.cpu_count() or 2)])
        assert build.returncode == 0, build.stdout[-4000:] + build.stderr[-4000:]
        cls.tmp = tempfile.mkdtemp(prefix="zrk-fhs-")
        os.chmod(cls.tmp, 0o755)
        cls.stage = os.path.join(cls.tmp, "stage")
        install = run(["cmake", "--install", FHS_BUILD], env=dict(os.environ, DESTDIR=cls.stage))
        assert install.returncode == 0, install.stdout + install.stderr

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.tmp, ignore_errors=True)

    def staged(self, path):
        return os.path.join(self.stage, path)

    def staged_files(self):
        return sorted(os.path.relpath(os.path.join(d, f), self.stage)
                      for d, dirs, names in os.walk(self.stage) for f in names + dirs)

    def test_places_runpaths_and_no_library(self):
        for path in EXPECTED:
            self.assertTrue(os.path.isfile(self.staged(path)), path)
        files = self.staged_files()
        self.assertEqual([f for f in files if "Library" in f or "simprinter" in f], [])
        self.assertEqual([f for f in files if not f.split("/")[0] in ("usr", "var")], [])
        self.assertEqual([f for f in files if f.startswith("usr/lib/x86_64-linux-gnu")
                          or (f.startswith("usr/lib/lib") and ".so" in f)], [])
        preferences = os.stat(self.staged("var/lib/zr-k5100"))
        self.assertEqual(preferences.st_mode & 0o7777, 0o755)
        # No installed binary names a folder outside its own installation.
        for path in files:
            full = self.staged(path)
            if os.path.islink(full) or not os.path.isfile(full) or not is_elf(full):
                continue
            dynamic = run(["readelf", "-d", full]).stdout
            for line in dynamic.splitlines():
                if "RPATH" in line or "RUNPATH" in line:
                    for entry in line.split("[", 1)[1].rstrip("]").split(":"):
                        self.assertTrue(entry.startswith("$ORIGIN")
                                        or entry == "/usr/lib/zr-k5100", (path, entry))
        # The programs' fixed paths are the FHS ones.
        with open(self.staged("usr/lib/zr-k5100/ColorOptionsPlugin.plugin/"
                              "libColorOptionsPlugin.so"), "rb") as f:
            plugin = f.read()
        self.assertIn(b"/usr/libexec/zr-k5100/ZR-K5100Helper\0", plugin)
        self.assertIn(b"/var/lib/zr-k5100/\0", plugin)
        self.assertNotIn(b"/Library/", plugin)
        with open(self.staged("usr/share/dbus-1/system-services/com.ostra.ZR-K5100.service")) as f:
            self.assertIn("Exec=/usr/libexec/zr-k5100/ProfileService\n", f.read())
        with open(self.staged("usr/share/ppd/zr-k5100/ZR-K5100.ppd"), "rb") as f:
            self.assertIn(b'\n*APDialogExtension: "/usr/lib/zr-k5100/ColorOptionsPlugin.plugin"\n',
                          f.read())
        desktop = self.staged("usr/share/applications/zr-k5100-color-options.desktop")
        if shutil.which("desktop-file-validate"):
            validated = run(["desktop-file-validate", desktop])
            self.assertEqual(validated.returncode, 0, validated.stdout + validated.stderr)

    def test_print_dialog_on_a_queue_made_from_the_staged_ppd(self):
        if os.geteuid() != 0 or not os.access("/usr/sbin/cupsd", os.X_OK):
            self.skipTest("cupsd needs root")
        cupsd = PrivateCupsd(os.path.join(self.tmp, "cups"), self.staged("usr/share/ppd"))
        self.addCleanup(cupsd.stop)
        drivers = run(["lpinfo", "-m"], env=cupsd.env).stdout
        self.assertIn("zr-k5100/ZR-K5100.ppd Ostra ZR-K5100 PS\n", drivers)
        made = run(["lpadmin", "-p", "ZRStaged", "-E", "-v", "socket://127.0.0.1:9", "-m",
                    "zr-k5100/ZR-K5100.ppd"], env=cupsd.env)
        self.assertEqual(made.returncode, 0, made.stderr + cupsd.error_log())
        runtime = os.path.join(self.tmp, "runtime")
        os.makedirs(runtime, 0o700, exist_ok=True)
        env = dict(cupsd.env, ZRK5100_ROOT=self.stage, XDG_RUNTIME_DIR=runtime, LC_ALL="C.UTF-8")
        env.pop("LD_LIBRARY_PATH", None)
        result = run([self.staged("usr/bin/print-dialog"), "--headless", "--queue", "ZRStaged",
                      "--state"], env=env)
        self.assertEqual(result.returncode, 0, result.stderr)
        state = json.loads(result.stdout)
        keywords = {c["keyword"] for c in state["controls"] if c.get("keyword", "").startswith("VX")}
        self.assertEqual(len(keywords), 29, sorted(keywords))


if __name__ == "__main__":
    unittest.main()
