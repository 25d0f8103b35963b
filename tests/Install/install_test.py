"""cmake --install into a staging root, the refresh from the staged tree, uninstall."""

import os
import plistlib
import pwd
import shutil
import signal
import subprocess
import tempfile
import unittest

BUILD = os.environ.get("ZRK_BUILD_DIR", "")
SOURCE = os.environ.get("ZRK_SOURCE_DIR", os.path.join(os.path.dirname(__file__), "..", ".."))
PREFIX = os.environ.get("ZRK_INSTALL_PREFIX", "/usr/local").lstrip("/")
LIBEXEC = os.environ.get("ZRK_LIBEXECDIR", "libexec")
DATADIR = os.environ.get("ZRK_DATADIR", "share")
BINDIR = os.environ.get("ZRK_BINDIR", "bin")

HELPER = ("Library/Application Support/Ostra/ZR-K5100/Helpers/ZR-K5100Helper.app/"
          "Contents/MacOS/ZR-K5100Helper")
PREFERENCES = "Library/Printers/Ostra/Preferences/com.ostra.printers.ZR-K5100"
SERVICE_NAME = "com.ostra.ZR-K5100"


def files_under(folder):
    return sorted(os.path.relpath(os.path.join(d, f), folder)
                  for d, _, names in os.walk(folder) for f in names)


class StagedInstallation(unittest.TestCase):
    def setUp(self):
        if not os.path.isfile(os.path.join(BUILD, "cmake_install.cmake")):
            self.skipTest("no build tree")
        self.tmp = tempfile.mkdtemp(prefix="zrk-install-")
        os.chmod(self.tmp, 0o755)
        self.stage = os.path.join(self.tmp, "stage")
        # The install rewrites the build tree's manifest: keep the one there.
        self.manifest = os.path.join(BUILD, "install_manifest.txt")
        self.kept = self.manifest + ".kept"
        if os.path.exists(self.manifest):
            shutil.copy2(self.manifest, self.kept)
        self.cleanups = []

    def stop_everything(self):
        while self.cleanups:
            self.cleanups.pop()()

    def tearDown(self):
        self.stop_everything()
        if os.path.exists(self.kept):
            os.replace(self.kept, self.manifest)
        elif os.path.exists(self.manifest):
            os.remove(self.manifest)
        shutil.rmtree(self.tmp, ignore_errors=True)

    def staged(self, *parts):
        return os.path.join(self.stage, *parts)

    def cmake(self, *args):
        result = subprocess.run(["cmake", *args], env=dict(os.environ, DESTDIR=self.stage),
                                capture_output=True, text=True, timeout=120)
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)

    def start_bus(self, address_file):
        """A private bus that activates the staged service from the staged files."""
        bus = os.path.join(self.tmp, "bus")
        os.makedirs(os.path.join(bus, "services"))
        socket = os.path.join(bus, "socket")
        address = "unix:path=" + socket
        with open(self.staged(PREFIX, DATADIR, "dbus-1/system-services",
                              SERVICE_NAME + ".service")) as f:
            activation = f.read()
        staged_exec = self.staged(PREFIX, LIBEXEC, "zrk5100/ProfileService")
        self.assertIn("Exec=/" + os.path.join(PREFIX, LIBEXEC, "zrk5100/ProfileService"),
                      activation)
        # The bus starts the staged program, under the staging root.
        activation = "\n".join(
            f"Exec=/usr/bin/env ZRK5100_ROOT={self.stage} DBUS_SYSTEM_BUS_ADDRESS={address} "
            f"{staged_exec} --idle-exit 5" if line.startswith("Exec=") else line
            for line in activation.splitlines())
        with open(os.path.join(bus, "services", SERVICE_NAME + ".service"), "w") as f:
            f.write(activation + "\n")
        with open(os.path.join(SOURCE, "tests/Service/fixtures/private-bus.conf.in")) as f:
            config = f.read()
        config = (config.replace("@SOCKET@", socket)
                  .replace("@SERVICEDIR@", os.path.join(bus, "services"))
                  .replace("@POLICY@", self.staged(PREFIX, DATADIR, "dbus-1/system.d",
                                                   SERVICE_NAME + ".conf"))
                  .replace("@OWNER@", ""))
        with open(os.path.join(bus, "bus.conf"), "w") as f:
            f.write(config)
        daemon = subprocess.Popen(["/usr/bin/dbus-daemon", "--config-file=" +
                                   os.path.join(bus, "bus.conf"), "--nofork",
                                   "--print-address=1"], stdout=subprocess.PIPE,
                                  start_new_session=True)
        self.cleanups.append(lambda: (os.killpg(daemon.pid, signal.SIGTERM), daemon.wait()))
        self.assertTrue(daemon.stdout.readline(), "the private bus did not start")
        return address

    def start_printer(self, address):
        program = self.staged(PREFIX, LIBEXEC, "zrk5100/simprinter/simprinter")
        state = os.path.join(self.tmp, "printer")
        command = [program, "start", "--addr", address, "--port", "161", "--state", state,
                   "--watch", str(os.getpid()), "--lifetime", "120"]
        result = subprocess.run(command, capture_output=True, text=True, timeout=60)
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
        self.cleanups.append(lambda: subprocess.run(
            [program, "stop", "--addr", address, "--port", "161", "--state", state],
            capture_output=True, timeout=60))

    def test_install_refresh_and_uninstall(self):
        self.cmake("--install", BUILD)
        for path in ("lib/zrk5100/ColorOptionsPlugin.plugin/Info.json",
                     "lib/zrk5100/ColorOptionsPlugin.plugin/libColorOptionsPlugin.so",
                     "lib/zrk5100/ColorOptionsPlugin.plugin/Resources/PDEMain.ui",
                     os.path.join(BINDIR, "print-dialog"),
                     os.path.join(LIBEXEC, "zrk5100/ProfileService"),
                     os.path.join(DATADIR, "dbus-1/system-services", SERVICE_NAME + ".service"),
                     os.path.join(DATADIR, "dbus-1/system.d", SERVICE_NAME + ".conf"),
                     os.path.join("lib/systemd/system", SERVICE_NAME + ".service")):
            self.assertTrue(os.path.isfile(self.staged(PREFIX, path)), path)
        self.assertTrue(os.access(self.staged(HELPER), os.X_OK))
        preferences = os.stat(self.staged(PREFERENCES))
        self.assertEqual(preferences.st_mode & 0o7777, 0o755)
        if os.geteuid() == 0:
            self.assertEqual(preferences.st_uid, 0)
        with open(self.manifest) as f:
            installed = f.read().split()

        if os.geteuid() == 0:
            try:
                self.refresh_from_the_staged_tree()
            finally:
                self.stop_everything()
        else:
            print("not root: the simulated printer cannot answer on port 161; "
                  "the refresh is not checked")

        self.cmake("--build", BUILD, "--target", "uninstall")
        self.assertEqual([p for p in installed if os.path.lexists(p)], [])
        # What is left are the users' own profile files.
        left = [p for p in files_under(self.stage) if not p.startswith(PREFERENCES + "/")]
        self.assertEqual(left, [])
        self.assertFalse(os.path.exists(self.staged(PREFIX, "lib/zrk5100")))
        self.assertFalse(os.path.exists(self.staged("Library/Application Support")))

    def refresh_from_the_staged_tree(self):
        # An address of this test's own, so that no other printer answers.
        address = f"127.{os.getpid() % 200 + 20}.{os.getpid() // 200 % 250}.7"
        self.start_printer(address)
        bus = self.start_bus(address)
        runtime = os.path.join(self.tmp, "runtime")
        os.mkdir(runtime, 0o700)
        env = dict(os.environ, ZRK5100_ROOT=self.stage, DBUS_SYSTEM_BUS_ADDRESS=bus,
                   QT_QPA_PLATFORM="offscreen", XDG_RUNTIME_DIR=runtime, LC_ALL="C.UTF-8")
        result = subprocess.run(
            [self.staged(PREFIX, BINDIR, "print-dialog"), "--headless", "--ppd",
             os.path.join(SOURCE, "PDE/Resources/ZR-K5100.ppd"), "--device-uri",
             f"lpd://{address}/queue", "--summary"],
            env=env, capture_output=True, text=True, timeout=120)
        self.assertEqual(result.returncode, 0, result.stderr)
        user = pwd.getpwuid(os.getuid()).pw_name
        with open(self.staged(PREFERENCES, f"{user}-zrk5100-profile.plist"), "rb") as f:
            profiles = plistlib.load(f)
        names = repr(profiles)
        for name in ("OFFSRGB.ICC", "PRESSCT.ICC", "PHOTOWD.ICC"):
            self.assertIn(name, names)


if __name__ == "__main__":
    unittest.main()
