#!/usr/bin/python3
"""Times the profile walk against net-snmp's own snmpwalk, side by side.

Both walk the same 500-row device profile table on the simulated printer
(tools/simprinter, on 127.0.0.1 and a free port) in the same run, in
alternation: "profile-tool walk" (the walk, the merge and the rewrite of a
profile file) and "snmpwalk -v1 -c snmpro" of the same subtree (the walk and
printing every variable). Prints both medians, their ratio walk/snmpwalk and
the median of the ratios of the back-to-back pairs.

    compare_snmpwalk.py --profile-tool PATH [--runs N] [--rows N]
"""
import argparse
import os
import shutil
import socket
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.realpath(__file__))
SIMPRINTER = os.path.join(HERE, "..", "..", "tools", "simprinter", "simprinter")
ROOT_OID = "1.3.6.1.4.1.18334.1.1.1.1.6.13.1.1"
PREFERENCES = "Library/Printers/Ostra/Preferences/com.ostra.printers.ZR-K5100"


def free_port():
    with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def timed(argv, env):
    start = time.perf_counter()
    done = subprocess.run(argv, env=env, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    elapsed = time.perf_counter() - start
    if done.returncode != 0:
        sys.exit("%s failed: %s" % (argv[0], done.stderr.decode(errors="replace")))
    return elapsed, done.stdout


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--profile-tool", required=True)
    parser.add_argument("--runs", type=int, default=15)
    parser.add_argument("--rows", type=int, default=500)
    args = parser.parse_args()
    snmpwalk = shutil.which("snmpwalk")
    if snmpwalk is None:
        sys.exit("snmpwalk is not installed (Debian package snmp)")

    work = tempfile.mkdtemp(prefix="zrk-walk-bench-")
    port = free_port()
    state = os.path.join(work, "printer")
    simprinter = ["/bin/bash", SIMPRINTER]
    where = ["--addr", "127.0.0.1", "--port", str(port), "--state", state]
    try:
        rows = os.path.join(work, "rows.txt")
        with open(rows, "w") as f:
            for i in range(1, args.rows + 1):
                f.write("%d\t%d\tProfile number %d\tPROF%04d.ICC\t%d\t1\n"
                        % (i, 4 + i % 2, i, i, 1 + i % 3))
        root = os.path.join(work, "root")
        os.makedirs(os.path.join(root, PREFERENCES))
        subprocess.run(simprinter + ["start"] + where +
                       ["--rows", rows, "--watch", str(os.getpid()), "--lifetime", "900"],
                       check=True, stdout=subprocess.DEVNULL)

        env = dict(os.environ, MIBS="", SNMP_PERSISTENT_DIR=os.path.join(work, "snmp"),
                   ZRK5100_ROOT=root)
        agent = "127.0.0.1:%d" % port
        ours = [args.profile_tool, "walk", "--user", "bench", "--", "snmpwalk", "-Os", "-c",
                "snmpro", "-v", "1", agent, ROOT_OID]
        theirs = [snmpwalk, "-v1", "-c", "snmpro", agent, ROOT_OID]

        # One untimed round: starts the table script's caches and checks both work.
        _, out = timed(ours, env)
        if out.strip() != b"iRet=0":
            sys.exit("the walk did not succeed: %r" % out)
        _, out = timed(theirs, env)
        variables = out.count(b"\n")

        walk_times, snmpwalk_times = [], []
        for run in range(args.runs):
            # Alternate which goes first so that drift hits both alike.
            pair = [(ours, walk_times), (theirs, snmpwalk_times)]
            for argv, times in (pair if run % 2 == 0 else reversed(pair)):
                times.append(timed(argv, env)[0])

        walk_median = statistics.median(walk_times)
        snmpwalk_median = statistics.median(snmpwalk_times)
        print("table: %d rows, %d variables; %d runs each" % (args.rows, variables, args.runs))
        print("profile-tool walk  median %.1f ms" % (walk_median * 1000))
        print("snmpwalk           median %.1f ms" % (snmpwalk_median * 1000))
        print("ratio walk/snmpwalk %.3f" % (walk_median / snmpwalk_median))
        # Each pair ran back to back under the same machine load: the median of
        # their ratios is less sensitive to load that comes and goes.
        paired = statistics.median(w / s for w, s in zip(walk_times, snmpwalk_times))
        print("median of paired ratios %.3f" % paired)
    finally:
        subprocess.run(simprinter + ["stop"] + where, stdout=subprocess.DEVNULL)
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
