#!/usr/bin/env python3
"""Speed record: nodes per second of Tarn and its peers on the benchmark's
first ten positions, side by side in one run.

Every engine searches each position for a fixed time with one thread and the
same hash size; its speed is the sum of its own reported nodes over the sum
of its own reported search times. The host's speed drifts from minute to
minute, so the engines are interleaved rather than measured one after
another: all stay open, and in each round every position is searched by each
engine in turn, the order rotated per round. Printed per engine: the overall
speed and the spread of its per-round speeds, and for each Tarn binary the
median of its per-round ratio to glaurung (and to the baseline), the figure
least moved by a noisy stretch. Tarn binaries run from fresh copies, one
per run: where a file lands in memory can cost it several percent, and a
copy makes each run an independent draw. Also printed: each Tarn binary's
"-bench" node total (the search's signature), its start-up time to "uciok",
and on request the time Threads 1 and 2 take to reach a fixed depth.

Run through `make speed` (BASELINE=path adds a second Tarn binary, SPEED_ARGS
passes further options), or directly: tools/speed.py --help.
"""
import argparse
import os
import re
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
BENCH_SOURCE = os.path.join(ROOT, "src", "frontend", "benchmark.cpp")
PEERS = ("stockfish", "glaurung", "toga2")
PEER_DIRS = ("/usr/games", "/usr/bin", "/usr/local/bin")
# Command words put before every engine (--realtime).
LAUNCH_PREFIX = []


def bench_positions(count=10):
    """The benchmark's positions, read from the engine's own list."""
    with open(BENCH_SOURCE) as f:
        text = f.read()
    body = text[text.index("bench_positions"):]
    fens = re.findall(r'"([^"]+/[^"]+)"', body)
    return [fen.strip() for fen in fens[:count]]


def find_peer(name):
    found = shutil.which(name)
    if found:
        return found
    for folder in PEER_DIRS:
        path = os.path.join(folder, name)
        if os.access(path, os.X_OK):
            return path
    return None


class Engine:
    """A UCI engine in a scratch directory of its own (Tarn writes its log
    into the working directory)."""

    def __init__(self, path):
        self.path = path
        self.folder = tempfile.mkdtemp(prefix="speed-")
        self.started = time.perf_counter()
        self.proc = subprocess.Popen(LAUNCH_PREFIX + [path], cwd=self.folder, stdin=subprocess.PIPE,
                                     stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                                     text=True, bufsize=1)

    def send(self, line):
        self.proc.stdin.write(line + "\n")
        self.proc.stdin.flush()

    def wait_for(self, prefix, seen=None):
        while True:
            line = self.proc.stdout.readline()
            if not line:
                raise RuntimeError(f"{self.path} ended before '{prefix}'")
            line = line.strip()
            if seen:
                seen(line)
            if line.startswith(prefix):
                return line

    def ready(self):
        self.send("isready")
        self.wait_for("readyok")

    def close(self):
        try:
            self.send("quit")
            self.proc.wait(timeout=10)
        except (OSError, subprocess.TimeoutExpired):
            self.proc.kill()
            self.proc.wait()
        shutil.rmtree(self.folder, ignore_errors=True)


def info_value(line, word):
    m = re.search(r"\b" + word + r" (\d+)", line)
    return int(m.group(1)) if m else None


def search(engine, fen, go):
    """Runs one search; returns (nodes, milliseconds, depth) from the last info
    line that reported nodes, and the wall time of the search."""
    last = {"nodes": 0, "time": 0, "depth": 0}

    def seen(line):
        if line.startswith("info") and " nodes " in line:
            for word in ("nodes", "time", "depth"):
                value = info_value(line, word)
                if value is not None:
                    last[word] = value

    engine.send("ucinewgame")
    engine.ready()
    engine.send("position fen " + fen)
    start = time.perf_counter()
    engine.send("go " + go)
    engine.wait_for("bestmove", seen)
    wall = time.perf_counter() - start
    return last["nodes"], last["time"], last["depth"], wall


def open_engine(path, hash_mb, threads):
    engine = Engine(path)
    engine.send("uci")
    engine.wait_for("uciok")
    engine.send(f"setoption name Hash value {hash_mb}")
    engine.send(f"setoption name Threads value {threads}")
    engine.ready()
    return engine


def interleaved_nps(engines, fens, movetime, hash_mb, rounds, report):
    """Every engine stays open; in each round each position is searched by
    every engine in turn, the order rotated from round to round, so that a
    noisy stretch of the host falls on all engines alike. Returns per engine
    a list of (nodes, milliseconds) per round."""
    opened = []
    try:
        for name, path in engines:
            opened.append((name, open_engine(path, hash_mb, 1)))
        per_round = {name: [] for name, _ in engines}
        go = f"movetime {int(movetime * 1000)}"
        for r in range(rounds):
            shift = r % len(opened)
            order = opened[shift:] + opened[:shift]
            sums = {name: [0, 0] for name, _ in engines}
            for fen in fens:
                for name, engine in order:
                    n, t, _, _ = search(engine, fen, go)
                    sums[name][0] += n
                    sums[name][1] += t
            for name, _ in engines:
                per_round[name].append(tuple(sums[name]))
            report(r, per_round)
    finally:
        for _, engine in opened:
            engine.close()
    return per_round


def nps(nodes, ms):
    return nodes * 1000 / ms if ms else 0.0


def ratio_spread(per_round, name, reference):
    """Per-round ratio of two engines' speeds: (min, median, max)."""
    ratios = [nps(*a) / nps(*b) for a, b in zip(per_round[name], per_round[reference]) if nps(*b)]
    return (min(ratios), statistics.median(ratios), max(ratios)) if ratios else None


def print_table(per_round, tarn_names, baseline):
    print(f"  {'engine':14s} {'nodes':>12s} {'time':>9s} {'M nodes/s':>9s}   per round: "
          f"{'min':>6s} {'median':>6s} {'max':>6s}")
    for name, rows in per_round.items():
        nodes = sum(n for n, _ in rows)
        ms = sum(t for _, t in rows)
        speeds = [nps(n, t) / 1e6 for n, t in rows]
        print(f"  {name:14s} {nodes:12d} {ms / 1000:8.2f}s {nps(nodes, ms) / 1e6:9.3f}   "
              f"{'':10s} {min(speeds):6.3f} {statistics.median(speeds):6.3f} {max(speeds):6.3f}")
    references = [ref for ref in ("glaurung", baseline) if ref in per_round]
    for reference in references:
        ref_nodes = sum(n for n, _ in per_round[reference])
        ref_ms = sum(t for _, t in per_round[reference])
        for name in tarn_names:
            if name == reference:
                continue
            rows = per_round[name]
            total = nps(sum(n for n, _ in rows), sum(t for _, t in rows))
            spread = ratio_spread(per_round, name, reference)
            overall = total / nps(ref_nodes, ref_ms) if nps(ref_nodes, ref_ms) else 0.0
            if spread:
                print(f"  {name} / {reference}: {overall:.3f} overall; per round "
                      f"min {spread[0]:.3f} median {spread[1]:.3f} max {spread[2]:.3f}")


def startup_ms(path, runs):
    """Median and best time from process start to "uciok"."""
    times = []
    for _ in range(runs):
        engine = Engine(path)
        engine.send("uci")
        engine.wait_for("uciok")
        times.append((time.perf_counter() - engine.started) * 1000)
        engine.close()
    return statistics.median(times), min(times)


def bench_total(path):
    folder = tempfile.mkdtemp(prefix="speed-")
    try:
        out = subprocess.run(LAUNCH_PREFIX + [path, "-bench"], cwd=folder, capture_output=True, text=True,
                             stdin=subprocess.DEVNULL).stdout
    finally:
        shutil.rmtree(folder, ignore_errors=True)
    m = re.search(r"nodes= (\d+), nps= (\d+)", out)
    return (int(m.group(1)), int(m.group(2))) if m else (None, None)


def depth_times(path, fens, depth, hash_mb, threads):
    """Wall seconds for all positions to reach `depth`, and the node total."""
    engine = open_engine(path, hash_mb, threads)
    total = 0.0
    nodes = 0
    try:
        for fen in fens:
            n, _, _, wall = search(engine, fen, f"depth {depth}")
            total += wall
            nodes += n
    finally:
        engine.close()
    return total, nodes


def fresh_copy(path, folder, name):
    copy = os.path.join(folder, name)
    shutil.copy2(path, copy)
    return copy


def load_average():
    try:
        return " ".join(f"{x:.2f}" for x in os.getloadavg())
    except OSError:
        return "unknown"


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--tarn", default=os.path.join(ROOT, "build", "release", "tarn"))
    parser.add_argument("--baseline", help="a second Tarn binary measured beside the first")
    parser.add_argument("--other", action="append", default=[], metavar="NAME=PATH",
                        help="a further Tarn binary under its own name (repeatable)")
    parser.add_argument("--movetime", type=float, default=1.0, help="seconds per position and round (1)")
    parser.add_argument("--rounds", type=int, default=5, help="rounds over all positions and engines (5)")
    parser.add_argument("--hash", type=int, default=64, help="hash size in MB (64)")
    parser.add_argument("--positions", type=int, default=10, help="benchmark positions used (10)")
    parser.add_argument("--no-peers", action="store_true", help="measure the Tarn binaries only")
    parser.add_argument("--no-bench", action="store_true", help="skip the -bench node totals")
    parser.add_argument("--startup-runs", type=int, default=20, help="start-ups timed per Tarn binary")
    parser.add_argument("--realtime", action="store_true",
                        help="run the engines under real-time priority (chrt -f 50): other load on the "
                             "machine then moves the figures far less")
    parser.add_argument("--threads-depth", type=int, default=0,
                        help="also time Threads 1 and 2 to this depth on the positions")
    args = parser.parse_args()

    fens = bench_positions(args.positions)
    if args.realtime:
        LAUNCH_PREFIX[:] = ["chrt", "-f", "50"]
    # Each engine runs in a scratch directory: paths must not be relative.
    tarns = [("tarn", os.path.abspath(args.tarn))]
    if args.baseline:
        tarns.append(("tarn-baseline", os.path.abspath(args.baseline)))
    for item in args.other:
        name, _, path = item.partition("=")
        tarns.append((name, os.path.abspath(path)))
    # Byte-identical copies of one binary can run several percent apart, and
    # a file keeps its place in memory from run to run: each run measures
    # fresh copies, so that repeated runs are independent draws.
    copies = tempfile.mkdtemp(prefix="speed-copies-")
    tarns = [(name, fresh_copy(path, copies, name)) for name, path in tarns]
    engines = list(tarns)
    if not args.no_peers:
        for name in PEERS:
            path = find_peer(name)
            if path:
                engines.append((name, path))
            else:
                print(f"{name}: not installed (apt-get install {name})")

    print(f"load average at start: {load_average()}")
    if args.realtime:
        print("engines at real-time priority (chrt -f 50)")
    print(f"{len(fens)} positions, {args.movetime:g} s each, 1 thread, {args.hash} MB hash, "
          f"{args.rounds} rounds, engines interleaved", flush=True)

    def progress(r, per_round):
        line = "  ".join(f"{name} {nps(*rows[r]) / 1e6:.3f}" for name, rows in per_round.items())
        print(f"  round {r + 1}: {line} M nodes/s", flush=True)

    per_round = interleaved_nps(engines, fens, args.movetime, args.hash, args.rounds, progress)
    print_table(per_round, [name for name, _ in tarns], "tarn-baseline" if args.baseline else None)

    for name, path in tarns:
        median, best = startup_ms(path, args.startup_runs)
        print(f"{name}: start-up to uciok {median:.1f} ms median, {best:.1f} ms best "
              f"of {args.startup_runs}")
    if not args.no_bench:
        for name, path in tarns:
            total, bench_speed = bench_total(path)
            print(f"{name}: -bench nodes= {total} nps= {bench_speed}", flush=True)
    if args.threads_depth:
        for name, path in tarns:
            for threads in (1, 2):
                wall, nodes = depth_times(path, fens, args.threads_depth, args.hash, threads)
                print(f"{name}: Threads {threads} depth {args.threads_depth}: {wall:.2f} s, {nodes} nodes",
                      flush=True)
    shutil.rmtree(copies, ignore_errors=True)
    print(f"load average at end: {load_average()}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
