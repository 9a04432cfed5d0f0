#!/usr/bin/env python3
"""Reads the Google Benchmark JSON reports of vetra_bench (one per build, e.g.
build/bench/results.json and build/bench32/results.json) and prints, for every
input, our median CPU time and each peer's time divided by ours (above 1: ours
is faster), then the absolute times of the benchmarks that have no peer."""
import json
import sys


def medians_of(path):
    with open(path) as f:
        report = json.load(f)
    medians = {}
    for b in report["benchmarks"]:
        if b.get("aggregate_name", "median") != "median":
            continue
        name = b.get("run_name", b["name"]).removesuffix("_median")
        unit = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}[b.get("time_unit", "ns")]
        # In registration order, which the report keeps only as an index
        # when the repetitions ran in random order.
        medians[name] = (b.get("family_index", len(medians)), b["cpu_time"] * unit)  # milliseconds
    ordered = sorted(medians.items(), key=lambda item: item[1][0])
    return report.get("context", {}), {name: ms for name, (_, ms) in ordered}


def table(path):
    context, medians = medians_of(path)
    groups = {}
    for name, ms in medians.items():
        group, case, impl = name.split("/")
        groups.setdefault((group, case), {})[impl] = ms

    print(f"{path} ({context.get('date', '?')}, {context.get('library_build_type', '?')} benchmark library)")
    print(f"{'benchmark':<28}{'vetra ms':>10}   peer time / vetra time (above 1: vetra faster)")
    for (group, case), impls in groups.items():
        ours = impls.get("vetra")
        peers = {k: v for k, v in impls.items() if k != "vetra"}
        if ours is None or not peers:
            continue
        cells = "  ".join(f"{peer} {ms / ours:5.2f}x" for peer, ms in peers.items())
        print(f"{group + '/' + case:<28}{ours:>10.3f}   {cells}")
    print()
    for (group, case), impls in groups.items():
        if "vetra" not in impls:
            for impl, ms in impls.items():
                print(f"{group + '/' + case + '/' + impl:<36}{ms:>10.3f} ms")
    print()


if __name__ == "__main__":
    for path in sys.argv[1:] or ["build/bench/results.json"]:
        table(path)
