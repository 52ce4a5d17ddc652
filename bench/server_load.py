#!/usr/bin/env python3
"""Load on plonta-server: submissions per second, p50/p99 latency and the server's memory for
typical games (ten minutes of play, 2400 ticks), and the replay of the longest game allowed.
Usage: bench/server_load.py PLONTA-SERVER [CLIENTS] [GAMES] [DATABASE]
DATABASE (a --database URL, an empty one: the games are the same each run) defaults to an SQLite
file in a temporary folder."""
import os, random, statistics, subprocess, sys, tempfile, threading, time
import urllib.error, urllib.request

server, clients, games = sys.argv[1], int(sys.argv[2]) if len(sys.argv) > 2 else 8, \
    int(sys.argv[3]) if len(sys.argv) > 3 else 400
database = sys.argv[4] if len(sys.argv) > 4 else None


def recording(rng, ticks):
    lines, left = ["# load", f"seed {rng.randrange(1, 2 ** 32)}", "space"], ticks
    while left > 0:
        wait = min(left, rng.randint(1, 4))
        left -= wait
        lines += [f"tick {wait}", rng.choice(["left", "right", "space"])]
    return ("\n".join(lines) + "\n").encode()


def post(url, body):
    start = time.perf_counter()
    with urllib.request.urlopen(urllib.request.Request(url + "/api/games?name=load", body)) as r:
        r.read()
        return r.status, time.perf_counter() - start


def rss(pid):
    fields = dict(line.split(":", 1) for line in open(f"/proc/{pid}/status"))
    return fields["VmRSS"].strip(), fields["VmHWM"].strip()


with tempfile.TemporaryDirectory() as folder:
    process = subprocess.Popen([server, "--listen", "127.0.0.1:0", "--database",
                                database or os.path.join(folder, "scores.db"), "--submissions-per-minute", "0"],
                               stdout=subprocess.PIPE, text=True)
    url = process.stdout.readline().split()[3].rstrip("/")
    rng = random.Random(1)
    bodies = [recording(rng, 2400) for _ in range(games)]
    latencies, lock, peak = [], threading.Lock(), []
    def client():
        while True:
            with lock:
                if not bodies: return
                body = bodies.pop()
            status, seconds = post(url, body)
            assert status == 201, status
            with lock: latencies.append(seconds)
    threads = [threading.Thread(target=client) for _ in range(clients)]
    start = time.perf_counter()
    [t.start() for t in threads]
    [t.join() for t in threads]
    elapsed = time.perf_counter() - start
    latencies.sort()
    print(f"{games} games of 2400 ticks from {clients} clients: {games / elapsed:.0f} per second,"
          f" p50 {1000 * statistics.median(latencies):.1f} ms,"
          f" p99 {1000 * latencies[int(0.99 * (len(latencies) - 1))]:.1f} ms")
    print("server memory after the load: RSS %s, peak %s" % rss(process.pid))
    # The costliest game allowed: a command every tick, as many games of it as stay within the
    # bound on played ticks (found by halving), sent five times.
    rng = random.Random(2)
    blocks = [f"seed {k}\n" + "".join("tick 1\n" + rng.choice(["left", "right", "space"]) + "\n"
                                      for _ in range(700)) for k in range(1, 400)]
    low, high = 1, len(blocks)
    while low < high:
        middle = (low + high + 1) // 2
        try:
            post(url, "".join(blocks[:middle]).encode())
            low = middle
        except urllib.error.HTTPError:
            high = middle - 1
    longest = "".join(blocks[:low]).encode()
    times = sorted(post(url, longest)[1] for _ in range(5))
    print(f"the longest game allowed ({low} games, a command every tick, {len(longest) // 1024} KiB):"
          f" {1000 * times[2]:.0f} ms (median of 5)")
    process.terminate()
    process.wait()
