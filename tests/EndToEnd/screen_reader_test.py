"""print-dialog's window as a screen reader and a keyboard user meet it.

The test starts its own X server (Xvfb), session bus and accessibility bus
(at-spi-bus-launcher, which brings at-spi2-registryd), shows print-dialog's
window on that display, and then works as a screen reader does: it finds the
controls through AT-SPI by role and name, acts on them through the action
interface and follows the focus while real key events (xdotool) move it.
Every wait polls with a bound; nothing is timed.
"""

import os
import select
import shutil
import signal
import socket
import subprocess
import tempfile
import time
import unittest

PRINT_DIALOG = os.environ.get("ZRK_PRINT_DIALOG", "")
PLUGIN_DIR = os.environ.get("ZRK_PLUGIN_DIR", "")
SOURCE_DIR = os.environ.get("ZRK_SOURCE_DIR", os.path.join(os.path.dirname(__file__), "..", ".."))
BUNDLED_PPD = os.path.join(SOURCE_DIR, "PDE/Resources/ZR-K5100.ppd")

LIBEXEC_DIRS = ["/usr/libexec", "/usr/libexec/at-spi2-core", "/usr/lib/at-spi2-core"]
STARTUP_BOUND = 30.0  # seconds any one server or window may take to appear
STEP_BOUND = 10.0  # seconds one key press or action may take to show


def libexec(name):
    for folder in LIBEXEC_DIRS:
        path = os.path.join(folder, name)
        if os.access(path, os.X_OK):
            return path
    return None


def poll(probe, bound=STEP_BOUND, interval=0.05):
    """The first truthy answer of probe() within the bound, or None."""
    deadline = time.monotonic() + bound
    while True:
        answer = probe()
        if answer:
            return answer
        if time.monotonic() >= deadline:
            return None
        time.sleep(interval)


def free_displays(first=90, last=400):
    """Display numbers that no X server holds: neither the lock file nor the
    abstract socket, which another mount namespace's server may hold without
    a lock file here (an X client tries that socket first)."""
    for number in range(first + os.getpid() % 50, last):
        if os.path.exists("/tmp/.X%d-lock" % number):
            continue
        probe = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        try:
            probe.bind("\0/tmp/.X11-unix/X%d" % number)
        except OSError:
            continue
        finally:
            probe.close()
        yield number


def read_line(stream, bound=STARTUP_BOUND):
    """One line a server prints when it is ready, or None."""
    deadline = time.monotonic() + bound
    data = b""
    while b"\n" not in data:
        left = deadline - time.monotonic()
        if left <= 0 or not select.select([stream], [], [], left)[0]:
            return None
        chunk = os.read(stream.fileno(), 4096)
        if not chunk:
            return None
        data += chunk
    return data.split(b"\n", 1)[0].decode().strip()


class Servers:
    """The processes one run starts, each in a session of its own, stopped in
    reverse order whatever happens."""

    def __init__(self):
        self.processes = []

    def start(self, command, env, **kwargs):
        process = subprocess.Popen(command, env=env, start_new_session=True, **kwargs)
        self.processes.append(process)
        return process

    def stop(self):
        for process in reversed(self.processes):
            if process.poll() is None:
                try:
                    os.killpg(process.pid, signal.SIGTERM)
                except ProcessLookupError:
                    pass
            try:
                process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                os.killpg(process.pid, signal.SIGKILL)
                process.wait()
            # Whatever the server started in its session goes with it.
            try:
                os.killpg(process.pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
            for stream in (process.stdout, process.stderr):
                if stream:
                    stream.close()
        self.processes = []


class ScreenReader(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        missing = [name for name, found in (
            ("print-dialog", os.access(PRINT_DIALOG, os.X_OK)),
            ("Xvfb", shutil.which("Xvfb")),
            ("xdotool", shutil.which("xdotool")),
            ("dbus-daemon", shutil.which("dbus-daemon")),
            ("dbus-send", shutil.which("dbus-send")),
            ("at-spi-bus-launcher", libexec("at-spi-bus-launcher")),
        ) if not found]
        try:
            import gi
            gi.require_version("Atspi", "2.0")
        except (ImportError, ValueError):
            missing.append("the Atspi typelib")
        if missing:
            raise unittest.SkipTest("not installed: " + ", ".join(missing))

        cls.tmp = tempfile.TemporaryDirectory()
        cls.servers = Servers()
        try:
            cls.start_session()
        except Exception:
            cls.servers.stop()
            if getattr(cls, "xvfb_log", None):
                cls.xvfb_log.close()
            cls.tmp.cleanup()
            raise

    @classmethod
    def tearDownClass(cls):
        cls.servers.stop()
        cls.xvfb_log.close()
        cls.tmp.cleanup()

    @classmethod
    def start_session(cls):
        root = cls.tmp.name
        runtime = os.path.join(root, "runtime")
        os.mkdir(runtime, 0o700)
        home = os.path.join(root, "home")
        os.mkdir(home)
        env = {k: v for k, v in os.environ.items()
               if k not in ("DISPLAY", "WAYLAND_DISPLAY", "DBUS_SESSION_BUS_ADDRESS",
                            "AT_SPI_BUS_ADDRESS", "LANGUAGE", "LC_MESSAGES", "SESSION_MANAGER")}
        env.update(HOME=home, XDG_RUNTIME_DIR=runtime, LC_ALL="C.UTF-8", LANG="C.UTF-8",
                   ZRK5100_ROOT=root, NO_AT_BRIDGE="0")

        # The X server, on a free display, for local clients only; the next
        # one when another server took it first.
        cls.xvfb_log = open(os.path.join(root, "xvfb.log"), "wb")
        display = None
        for number, _ in zip(free_displays(), range(5)):
            reader, writer = os.pipe()
            xvfb = cls.servers.start(
                ["Xvfb", ":%d" % number, "-displayfd", str(writer), "-nolisten", "tcp",
                 "-screen", "0", "1280x1024x24"], env, pass_fds=(writer,),
                stdout=subprocess.DEVNULL, stderr=cls.xvfb_log)
            os.close(writer)
            with os.fdopen(reader, "rb", buffering=0) as stream:
                display = read_line(stream)
            if display and xvfb.poll() is None:
                break
            display = None
        if not display:
            raise RuntimeError("Xvfb did not start")
        env["DISPLAY"] = ":" + display

        # The session bus: where the accessibility bus is announced.
        bus = cls.servers.start(
            ["dbus-daemon", "--session", "--nofork", "--nopidfile", "--print-address=1"], env,
            stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        address = read_line(bus.stdout)
        if not address:
            raise RuntimeError("the session bus did not start")
        env["DBUS_SESSION_BUS_ADDRESS"] = address

        # The accessibility bus and its registry.
        cls.servers.start([libexec("at-spi-bus-launcher"), "--launch-immediately"], env,
                          stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

        def accessibility_bus():
            result = subprocess.run(
                ["dbus-send", "--session", "--print-reply", "--dest=org.a11y.Bus",
                 "/org/a11y/bus", "org.a11y.Bus.GetAddress"], env=env, capture_output=True,
                text=True, timeout=STEP_BOUND)
            return result.returncode == 0 and "unix:" in result.stdout
        if not poll(accessibility_bus, STARTUP_BOUND, 0.1):
            raise RuntimeError("the accessibility bus did not start")

        # The dialog, its bridge to the accessibility bus on from the start.
        dialog_env = dict(env, QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
                          QT_ACCESSIBILITY="1")
        # Leaks are the sanitizer build's other tests' business, not this one's.
        dialog_env["ASAN_OPTIONS"] = ":".join(
            filter(None, [os.environ.get("ASAN_OPTIONS", ""), "detect_leaks=0"]))
        cls.dialog = cls.servers.start(
            [PRINT_DIALOG, "--ppd", BUNDLED_PPD, "--plugin", PLUGIN_DIR,
             "--ticket", os.path.join(root, "ticket.plist")], dialog_env,
            stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        cls.env = env

        # This process reads the same buses as a screen reader would.
        os.environ["DISPLAY"] = env["DISPLAY"]
        os.environ["DBUS_SESSION_BUS_ADDRESS"] = address
        os.environ["XDG_RUNTIME_DIR"] = runtime
        from gi.repository import Atspi
        cls.Atspi = Atspi
        Atspi.init()
        cls.app = poll(cls.find_application, STARTUP_BOUND, 0.2)
        if not cls.app:
            raise RuntimeError("print-dialog never showed on the accessibility bus: " +
                               cls.dialog_errors() + cls.server_log())
        cls.window = poll(lambda: cls.find(cls.app, cls.Atspi.Role.DIALOG, None), STARTUP_BOUND)
        if not cls.window:
            raise RuntimeError("print-dialog's window never showed")
        # The keyboard's events go to the dialog's window.
        cls.xdotool("search", "--sync", "--onlyvisible", "--name", "Color Options",
                    "windowactivate", "--sync")

    @classmethod
    def server_log(cls):
        cls.xvfb_log.flush()
        with open(cls.xvfb_log.name, "rb") as f:
            return "\nXvfb: " + f.read().decode(errors="replace")

    @classmethod
    def dialog_errors(cls):
        if cls.dialog.poll() is None:
            return "(still running)"
        return cls.dialog.stderr.read().decode(errors="replace")

    @classmethod
    def xdotool(cls, *args):
        result = subprocess.run(["xdotool", *args], env=cls.env, capture_output=True, text=True,
                                timeout=STARTUP_BOUND)
        if result.returncode != 0:
            # Without a window manager windowactivate may fail; focus then.
            if "windowactivate" in args:
                wid = subprocess.run(["xdotool", "search", "--onlyvisible", "--name",
                                      "Color Options"], env=cls.env, capture_output=True,
                                     text=True, timeout=STARTUP_BOUND).stdout.split()
                if wid:
                    subprocess.run(["xdotool", "windowfocus", "--sync", wid[0]], env=cls.env,
                                   check=True, timeout=STARTUP_BOUND)
                    return
            raise RuntimeError(f"xdotool {' '.join(args)}: {result.stderr}")

    # --- reading the tree as a screen reader does ---

    @classmethod
    def find_application(cls):
        desktop = cls.Atspi.get_desktop(0)
        for i in range(desktop.get_child_count()):
            app = desktop.get_child_at_index(i)
            if app is not None and app.get_name() == "print-dialog":
                return app
        return None

    @classmethod
    def nodes(cls, node, showing_only=True):
        """Every node under `node`, depth first; with showing_only, the
        branches not shown are left out (the pane not shown, closed menus)."""
        stack = [node]
        while stack:
            current = stack.pop()
            if current is None:
                continue
            yield current
            role = current.get_role()
            if role in (cls.Atspi.Role.COMBO_BOX, cls.Atspi.Role.PAGE_TAB_LIST):
                continue
            children = [current.get_child_at_index(i)
                        for i in range(current.get_child_count())]
            for child in reversed(children):
                if child is None:
                    continue
                if showing_only and not child.get_state_set().contains(
                        cls.Atspi.StateType.SHOWING):
                    continue
                stack.append(child)

    @classmethod
    def find(cls, root, role, name):
        for node in cls.nodes(root):
            if node.get_role() == role and (name is None or node.get_name() == name):
                return node
        return None

    def control(self, role, name):
        node = poll(lambda: self.find(self.window, role, name))
        if node is None:
            present = [n.get_name() for n in self.nodes(self.window) if n.get_role() == role]
            self.fail(f"no {role.value_nick} named {name!r} among {present}")
        return node

    def labelled(self, role, label):
        """The control a label names, as a screen reader finds a pop-up
        (whose own name is its current item)."""
        def probe():
            for node in self.nodes(self.window):
                if node.get_role() != role:
                    continue
                for relation in node.get_relation_set():
                    if relation.get_relation_type() != self.Atspi.RelationType.LABELLED_BY:
                        continue
                    for i in range(relation.get_n_targets()):
                        if relation.get_target(i).get_name() == label:
                            return node
            return None
        node = poll(probe)
        self.assertIsNotNone(node, f"no {role.value_nick} labelled {label!r}")
        return node

    def focused(self):
        # The deepest node with the focused state: a container whose focus
        # proxy is the focused control (the button box) reports it too.
        found = None
        for node in self.nodes(self.window):
            if node.get_state_set().contains(self.Atspi.StateType.FOCUSED):
                found = node
        return found

    def describe(self, node):
        return (node.get_role_name(), node.get_name())

    def enabled(self, node):
        return node.get_state_set().contains(self.Atspi.StateType.ENABLED)

    def do_action(self, node, wanted):
        """Runs the action of that name through the node's Action interface."""
        Action = self.Atspi.Action
        name_of = getattr(Action, "get_name", None) or Action.get_action_name
        names = [name_of(node, i) for i in range(Action.get_n_actions(node))]
        for i, name in enumerate(names):
            if name.lower() == wanted:
                Action.do_action(node, i)
                return
        self.fail(f"{self.describe(node)} has no {wanted} action: {names}")

    def press(self, key):
        """A real key event; the focused control once the focus has moved."""
        before = self.focused()
        before = self.describe(before) if before else None
        self.xdotool("key", "--clearmodifiers", key)
        moved = poll(lambda: (lambda now: now if now and self.describe(now) != before
                              else None)(self.focused()))
        self.assertIsNotNone(moved, f"{key} left the focus on {before}")
        return moved

    # --- the tests ---

    def test_1_toggle_action_runs_the_rules(self):
        Role = self.Atspi.Role
        gray = self.control(Role.CHECK_BOX, "Color as Grayscale")
        separation = self.control(Role.CHECK_BOX, "Color Separation")
        self.assertTrue(self.enabled(separation))
        self.do_action(gray, "toggle")
        self.assertTrue(poll(lambda: gray.get_state_set().contains(
            self.Atspi.StateType.CHECKED)), "the toggle action did not tick the box")
        self.assertTrue(poll(lambda: not self.enabled(separation)),
                        "Color Separation stayed enabled")
        self.assertEqual(separation.get_description(),
                         "Unavailable while Color as Grayscale is on")
        # Untick it again, the same way: the rules enable Color Separation.
        self.do_action(gray, "toggle")
        self.assertTrue(poll(lambda: self.enabled(separation)))
        self.assertEqual(separation.get_description(), "")

    def test_2_tab_comes_round_through_cancel(self):
        Role = self.Atspi.Role
        first = self.labelled(Role.COMBO_BOX, "Quick Color")
        # Start where the focus is as the window opens, or where one Tab puts it.
        start = poll(self.focused, 2.0) or self.press("Tab")
        start = self.describe(start)

        visited = []
        for _ in range(30):
            visited.append(self.describe(self.press("Tab")))
        self.assertIn(("push button", "Cancel"), visited)
        self.assertIn(start, visited, "30 Tabs never came round")
        # Each round visits every control once.
        round_length = visited.index(start) + 1
        one_round = visited[:round_length]
        self.assertEqual(len(set(one_round)), len(one_round), one_round)
        self.assertEqual(visited[round_length:2 * round_length],
                         one_round[:len(visited) - round_length])
        for name in ("OK", "Print", "Color as Grayscale", "Auto Trapping"):
            self.assertTrue(any(n == name for _, n in one_round), (name, one_round))
        self.assertIn(self.describe(first), one_round)

        # Shift+Tab goes the same round the other way, from where Tab stopped.
        at = one_round.index(visited[-1])
        backward = [self.describe(self.press("shift+Tab")) for _ in range(round_length)]
        self.assertEqual(backward, [one_round[(at - k) % round_length]
                                    for k in range(1, round_length + 1)])


if __name__ == "__main__":
    unittest.main()
