#!/usr/bin/env python3
"""Checks that loading a project with compound, multicam and sync clips stays linear.

Runs fcpxml_containers_bench (path given as the first argument) and compares its two sizes:
- loading 50 000 clips may take at most 2.2 times as long as loading 25 000;
- loading may not fall behind a raw expat pass over the same bytes as the project grows: the
  ratio of loading to the expat pass at 50 000 clips may be at most 1.1 times (2.2 / 2) the
  ratio at 25 000.
CPU times are used, the fastest of several repetitions, so that a busy machine does not count.
Exits 1 when a bound is passed.
"""

import json
import subprocess
import sys

LINEAR_BOUND = 2.2


def fastest_cpu_times(bench):
    output = subprocess.run(
        [bench, "--benchmark_format=json", "--benchmark_repetitions=5",
         "--benchmark_report_aggregates_only=false"],
        check=True, capture_output=True, text=True).stdout
    fastest = {}
    for run in json.loads(output)["benchmarks"]:
        if run.get("run_type") != "iteration" or run.get("error_occurred"):
            continue
        name = run["run_name"]
        fastest[name] = min(fastest.get(name, float("inf")), run["cpu_time"])
    return fastest


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: check_containers_scaling.py <path to fcpxml_containers_bench>")
    times = fastest_cpu_times(sys.argv[1])
    load = [times["loadProjectWithContainers/25000"], times["loadProjectWithContainers/50000"]]
    expat = [times["rawExpatPass/25000"], times["rawExpatPass/50000"]]
    load_ratio = load[1] / load[0]
    relative_ratio = (load[1] / expat[1]) / (load[0] / expat[0])
    print(f"loading 50k/25k: {load_ratio:.2f} (at most {LINEAR_BOUND})")
    print(f"loading per expat pass, 50k against 25k: {relative_ratio:.2f} "
          f"(at most {LINEAR_BOUND / 2:.2f})")
    if load_ratio > LINEAR_BOUND or relative_ratio > LINEAR_BOUND / 2:
        sys.exit(1)


if __name__ == "__main__":
    main()
