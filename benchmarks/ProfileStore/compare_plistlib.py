#!/usr/bin/python3
"""Times the profile store against Python's plistlib on the same full file.

Runs ProfileStoreBenchmark (Google Benchmark, median of repetitions), then
plistlib loading and dumping the file the benchmark left behind, and prints
both medians and the ratio store/plistlib for each operation (below 1: the
store is faster).

Usage: compare_plistlib.py [PATH-TO-ProfileStoreBenchmark] [--repetitions N]
"""
import argparse
import json
import os
import plistlib
import statistics
import subprocess
import sys
import tempfile
import time


def store_medians(binary, directory, repetitions):
    env = dict(os.environ, ZRK_BENCH_DIR=directory)
    out = subprocess.run(
        [binary, "--benchmark_format=json", "--benchmark_repetitions=%d" % repetitions,
         "--benchmark_report_aggregates_only=true"],
        env=env, check=True, capture_output=True, text=True).stdout
    medians = {}
    for bench in json.loads(out)["benchmarks"]:
        if bench.get("aggregate_name") == "median":
            scale = {"ms": 1e-3, "us": 1e-6, "ns": 1e-9, "s": 1.0}[bench["time_unit"]]
            medians[bench["run_name"]] = bench["real_time"] * scale
    return medians


def median_seconds(operation, repetitions, minimum=0.2):
    """Median time of one call, each repetition looping for at least `minimum` s."""
    loops = 1
    while True:
        start = time.perf_counter()
        for _ in range(loops):
            operation()
        if time.perf_counter() - start >= minimum or loops >= 1 << 16:
            break
        loops *= 2
    samples = []
    for _ in range(repetitions):
        start = time.perf_counter()
        for _ in range(loops):
            operation()
        samples.append((time.perf_counter() - start) / loops)
    return statistics.median(samples)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser()
    parser.add_argument("binary", nargs="?",
                        default=os.path.join(here, "../../build-store/stage/bin/ProfileStoreBenchmark"))
    parser.add_argument("--repetitions", type=int, default=10)
    args = parser.parse_args()

    with tempfile.TemporaryDirectory(prefix="zrk-bench-") as directory:
        store = store_medians(args.binary, directory, args.repetitions)
        source = os.path.join(directory, "full-profile.plist")
        with open(source, "rb") as f:
            data = f.read()
        root = plistlib.loads(data)
        target = os.path.join(directory, "plistlib-profile.plist")

        def load():
            with open(source, "rb") as f:
                plistlib.load(f)

        def dump_atomically():
            # The same steps as the store's write: temporary file, fsync, rename.
            temporary = target + ".tmp"
            with open(temporary, "wb") as f:
                plistlib.dump(root, f)
                f.flush()
                os.fsync(f.fileno())
            os.replace(temporary, target)

        def dumps():
            plistlib.dumps(root)

        python = {
            "BM_ReadAll": median_seconds(load, args.repetitions),
            "BM_WriteAll": median_seconds(dump_atomically, args.repetitions),
            "BM_SerialiseAll": median_seconds(dumps, args.repetitions),
        }
    labels = {"BM_ReadAll": "read all three groups  vs plistlib.load",
              "BM_WriteAll": "write all three groups vs plistlib.dump+fsync+rename",
              "BM_SerialiseAll": "build XML text         vs plistlib.dumps"}
    print("full profile file: %d bytes, 3 x 500 entries" % len(data))
    print("%-55s %12s %12s %8s" % ("operation", "store ms", "plistlib ms", "ratio"))
    for name, label in labels.items():
        print("%-55s %12.3f %12.3f %8.3f" % (label, store[name] * 1e3, python[name] * 1e3,
                                              store[name] / python[name]))
    return 0


if __name__ == "__main__":
    sys.exit(main())
