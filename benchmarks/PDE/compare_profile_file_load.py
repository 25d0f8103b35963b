#!/usr/bin/python3
"""Times the whole print dialog with and without a full profile file.

Runs "print-dialog --headless --ppd ZR-K5100.ppd --summary" in alternation
under two installation roots: one without a profile file, one whose profile
file holds 500 shown entries in every group (so the seven profile menus get
500 entries each). Prints the median wall and CPU time of each, their ratios
and the median of the ratios of back-to-back pairs. The goal is a full-file
load within 1.2 times the load without one.

    compare_profile_file_load.py --bin BUILD/stage/bin [--runs N]
"""
import argparse
import json
import os
import resource
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.realpath(__file__))
PPD = os.path.join(HERE, "..", "..", "PDE", "Resources", "ZR-K5100.ppd")
PREFERENCES = "Library/Printers/Ostra/Preferences/com.ostra.printers.ZR-K5100"


def full_profile_json():
    def group(profile_class):
        return [{"IndexOnDevice": i + 1, "InMenu": 4 if i % 2 == 0 else 6,
                 "ProfileClass": profile_class, "Location": 4 if i % 2 == 0 else 5,
                 "FileName": "PROF%04d.ICC" % i, "ProfileName": "Profile number %d" % i}
                for i in range(500)]
    return json.dumps({"RGB": group(1), "SIM": group(3), "DST": group(3)})


def timed(argv, env):
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    start = time.perf_counter()
    done = subprocess.run(argv, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    wall = time.perf_counter() - start
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    if done.returncode != 0:
        sys.exit("print-dialog failed: %s" % done.stderr.decode(errors="replace"))
    cpu = (after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)
    return wall, cpu


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--bin", required=True, help="folder of print-dialog and profile-tool")
    parser.add_argument("--runs", type=int, default=21)
    args = parser.parse_args()
    dialog = os.path.join(args.bin, "print-dialog")
    tool = os.path.join(args.bin, "profile-tool")

    work = tempfile.mkdtemp(prefix="zrk-load-bench-")
    try:
        empty_root = os.path.join(work, "empty")
        full_root = os.path.join(work, "full")
        runtime = os.path.join(work, "runtime")
        os.makedirs(os.path.join(empty_root, PREFERENCES))
        os.makedirs(os.path.join(full_root, PREFERENCES))
        os.makedirs(runtime, mode=0o700)
        import pwd
        user = pwd.getpwuid(os.getuid()).pw_name
        profile = os.path.join(full_root, PREFERENCES, "%s-zrk5100-profile.plist" % user)
        subprocess.run([tool, "write", profile], input=full_profile_json().encode(), check=True)

        argv = [dialog, "--headless", "--ppd", PPD, "--summary"]
        base = dict(os.environ, QT_QPA_PLATFORM="offscreen", XDG_RUNTIME_DIR=runtime)
        envs = {"none": dict(base, ZRK5100_ROOT=empty_root),
                "full": dict(base, ZRK5100_ROOT=full_root)}
        for env in envs.values():  # warm the page cache
            timed(argv, env)
        times = {"none": [], "full": []}
        pair_wall, pair_cpu = [], []
        for _ in range(args.runs):
            none = timed(argv, envs["none"])
            full = timed(argv, envs["full"])
            times["none"].append(none)
            times["full"].append(full)
            pair_wall.append(full[0] / none[0])
            pair_cpu.append(full[1] / none[1] if none[1] > 0 else float("nan"))

        def median(case, i):
            return statistics.median(t[i] for t in times[case])
        for label, i in (("wall", 0), ("cpu", 1)):
            none, full = median("none", i), median("full", i)
            print("%-4s  no profile file %.1f ms  full profile file %.1f ms  ratio %.3f"
                  % (label, 1000 * none, 1000 * full, full / none))
        print("median of paired ratios: wall %.3f  cpu %.3f"
              % (statistics.median(pair_wall), statistics.median(pair_cpu)))
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
