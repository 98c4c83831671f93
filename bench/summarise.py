"""Turns the launcher's lines into the benchmark's table.

Reads lines "start NAME INDEX key value key value ..." on standard input;
starts with a negative index are warm-ups and are left out. Prints medians
per program, the median of the paired ratios program/baseline, file sizes
and memory, each with the aim it is reported against.
"""
import argparse
import os
import statistics
import sys


def parse(lines):
    starts = {}
    for line in lines:
        fields = line.split()
        if not fields or fields[0] != "start":
            if fields and fields[0] == "error":
                print("launcher:", line.strip(), file=sys.stderr)
            continue
        name, index = fields[1], int(fields[2])
        if index < 0:
            continue
        values = {fields[i]: int(fields[i + 1]) for i in range(3, len(fields) - 1, 2)}
        starts.setdefault(name, {})[index] = values
    return starts


def median_of(runs, key):
    return statistics.median(run[key] for run in runs.values())


def paired_ratio(starts, program, baseline, key):
    pairs = sorted(set(starts[program]) & set(starts[baseline]))
    ratios = [starts[program][i][key] / starts[baseline][i][key] for i in pairs
              if starts[baseline][i][key] > 0]
    return statistics.median(ratios) if ratios else float("nan")


def verdict(value, aim):
    return "within aim" if value <= aim else "misses aim"


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--title", required=True)
    parser.add_argument("--program", required=True)
    parser.add_argument("--baseline", required=True)
    parser.add_argument("--size", action="append", default=[], help="NAME=FILE")
    parser.add_argument("--time-aim", type=float, default=1.05)
    parser.add_argument("--memory-aim", type=float, default=1.05)
    parser.add_argument("--size-aim", type=int, default=40 * 1024)
    args = parser.parse_args()

    starts = parse(sys.stdin)
    p, b = args.program, args.baseline
    if p not in starts or b not in starts:
        sys.exit("summarise: no measured starts of both programs")
    pairs = len(set(starts[p]) & set(starts[b]))

    print(f"## {args.title}: {p} against {b}, {pairs} pairs of starts")
    print()
    print(f"| figure | {p} | {b} | {p}/{b} (median of pairs) | aim |")
    print("|---|---:|---:|---:|---|")
    for key, label in (("visible_us", "start until the window is visible"),
                       ("painted_us", "start until it is painted")):
        ratio = paired_ratio(starts, p, b, key)
        print(f"| {label} (median) | {median_of(starts[p], key) / 1000:.1f} ms | "
              f"{median_of(starts[b], key) / 1000:.1f} ms | {ratio:.3f} | "
              f"at most {args.time_aim:.2f}: {verdict(ratio, args.time_aim)} |")
    for key, label in (("peak_private", "peak private memory"),
                       ("peak_working_set", "peak working set")):
        mp, mb = median_of(starts[p], key), median_of(starts[b], key)
        ratio = paired_ratio(starts, p, b, key)
        aim = (f"at most {args.memory_aim:.2f}: {verdict(ratio, args.memory_aim)}"
               if key == "peak_private" else "")
        print(f"| {label} (median) | {mp / 1024:.0f} KiB | {mb / 1024:.0f} KiB | {ratio:.3f} | {aim} |")
    sizes = dict(item.split("=", 1) for item in args.size)
    if p in sizes and b in sizes:
        sp, sb = os.path.getsize(sizes[p]), os.path.getsize(sizes[b])
        print(f"| file size | {sp:,} bytes | {sb:,} bytes | {sp / sb:.2f} | "
              f"{p} at most {args.size_aim:,} bytes: {verdict(sp, args.size_aim)} |")
    print()
    print("Times are from spawn; absolute times are noisy, only the ratios compare.")


if __name__ == "__main__":
    main()
