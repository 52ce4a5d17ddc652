#!/usr/bin/env python3
"""plonta-server through real HTTP on 127.0.0.1: games ranked by their replay, refusals that
change nothing, concurrent submissions landing once, and a SIGKILL in the middle of a burst."""
import http.client, json, os, random, signal, subprocess, sys, tempfile, threading, unittest
import urllib.error, urllib.parse, urllib.request

SERVER, SIM = sys.argv.pop(1), sys.argv.pop(1)


class Server:
    def __init__(self, folder, *options):
        self.process = subprocess.Popen(
            [SERVER, "--listen", "127.0.0.1:0", "--database", os.path.join(folder, "scores.db"),
             "--submissions-per-minute", "0", *options], stdout=subprocess.PIPE, text=True)
        self.url = self.process.stdout.readline().split()[3].rstrip("/")

    def request(self, path, body=None):
        try:
            with urllib.request.urlopen(urllib.request.Request(self.url + path, body), timeout=60) as r:
                return r.status, r.read()
        except urllib.error.HTTPError as error:
            return error.code, error.read()

    def submit(self, recording, name="tester"):
        status, body = self.request("/api/games?name=" + urllib.parse.quote(name), recording.encode()
                                    if isinstance(recording, str) else recording)
        return status, json.loads(body)

    def table(self):
        return json.loads(self.request("/api/scores?limit=500")[1])

    def stop(self, how=signal.SIGTERM):
        self.process.send_signal(how)
        status = self.process.wait(timeout=60)
        self.process.stdout.close()
        assert how == signal.SIGKILL or status == 0, status  # stops cleanly, leaks nothing


def random_recording(rng, moves=200):
    lines = ["# recorded by the server test", f"seed {rng.randrange(1, 2 ** 32)}", "space"]
    for _ in range(moves):
        lines += [f"tick {rng.randint(1, 6)}", rng.choice(["left", "right", "space", "space"])]
    return "\n".join(lines) + "\n"


def sim_result(recording):
    dump = json.loads(subprocess.run([SIM], input=recording + "dump\n", capture_output=True,
                                     text=True, check=True).stdout.splitlines()[-1])
    return dump["score"], dump["level"]


class Submissions(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.folder = tempfile.TemporaryDirectory()
        cls.server = Server(cls.folder.name)

    @classmethod
    def tearDownClass(cls):
        cls.server.stop()
        cls.folder.cleanup()

    def test_ranked_by_what_the_recording_replays_to(self):
        rng = random.Random(1)
        games = [random_recording(rng) for _ in range(3)]
        # Tampered: one more drop halfway through plays a game of its own.
        half = games[0].splitlines(keepends=True)
        games.append("".join(half[:200] + ["space\n"] + half[200:]))
        ids = []
        for name, recording in zip(["Jürgen", "<b>bold</b>", "a", "x" * 24], games):
            status, answer = self.server.submit(recording, "  " + name + " ")
            ids.append(answer["id"])
            self.assertEqual(status, 201)
            self.assertEqual((answer["score"], answer["level"]), sim_result(recording))
            row = next(r for r in self.server.table() if r["id"] == answer["id"])
            self.assertEqual((row["name"], row["score"], row["rank"]), (name, answer["score"], answer["rank"]))
            self.assertEqual(self.server.request(f"/api/games/{answer['id']}")[1], recording.encode())
        table = self.server.table()
        self.assertEqual([r["rank"] for r in table], list(range(1, len(table) + 1)))
        self.assertEqual(table, sorted(table, key=lambda r: (-r["score"], r["id"])))
        self.assertIn("&lt;b&gt;bold&lt;/b&gt;", self.server.request("/")[1].decode())
        # The same game with other line ends and another comment is the entry it already is.
        again = games[1].replace("\n", "\r\n").replace("the server test", "someone else")
        status, answer = self.server.submit(again, "copycat")
        self.assertEqual((status, answer["id"]), (200, ids[1]))
        self.assertEqual(self.server.table(), table)

    def test_refused_bodies_and_names_change_nothing(self):
        good = random_recording(random.Random(2))
        four_hours = "".join(f"seed {k}\n" + "space\ntick 400\n" * 6 for k in range(1, 200))
        cases = [  # (what, name, body, status)
            ("set", "n", good + "set score 999999\n", 422),
            ("dump", "n", good + "dump\n", 422),
            ("shot", "n", good + "shot /tmp/x.png\n", 422),
            ("sound", "n", good + "sound /tmp/x.wav\n", 422),
            ("not a recording", "n", "hello\n", 422),
            ("empty", "n", "", 422),
            ("no command", "n", "seed 4\ntick 90\n", 422),
            ("over four hours of play", "n", four_hours, 422),
            ("over 1 MiB", "n", "#" * (1 << 20) + "\n" + good, 413),
            ("empty name", "   ", good, 400),
            ("25 characters", "y" * 25, good, 400),
            ("control", "a\x01b", good, 400),
            ("direction override", "a\u202eb", good, 400),
            ("not UTF-8", b"\xff".decode("latin-1"), good, 400),
        ]
        before = self.server.table()
        for what, name, body, status in cases:
            with self.subTest(what):
                name = urllib.parse.quote(name.encode("latin-1") if what == "not UTF-8" else name)
                got, answer = self.server.request("/api/games?name=" + name, body.encode())
                self.assertEqual(got, status)
                self.assertIn("error", json.loads(answer))
        self.assertEqual(self.server.table(), before)

    def test_concurrent_submissions_land_once(self):
        rng = random.Random(3)
        shared = [random_recording(rng, 100) for _ in range(2)]
        lists = [[random_recording(rng, 100) for _ in range(3)] + shared for _ in range(8)]
        results = [[] for _ in lists]
        def send(recordings, out):
            out.extend((r, *self.server.submit(r)) for r in recordings)
        threads = [threading.Thread(target=send, args=work) for work in zip(lists, results)]
        [t.start() for t in threads]
        [t.join() for t in threads]
        answers = [answer for out in results for answer in out]
        ids = {}
        for recording, status, answer in answers:
            self.assertIn(status, (200, 201))
            self.assertEqual(ids.setdefault(recording, answer["id"]), answer["id"])
        self.assertEqual(sum(status == 201 for _, status, _ in answers), len(ids))
        stored = {r["id"] for r in self.server.table()}
        self.assertTrue(set(ids.values()) <= stored)
        for recording, id in ids.items():
            self.assertEqual(self.server.request(f"/api/games/{id}")[1], recording.encode())


class Killed(unittest.TestCase):
    def test_killed_mid_burst_keeps_every_answered_game(self):
        with tempfile.TemporaryDirectory() as folder:
            server = Server(folder)
            rng = random.Random(4)
            pending = [random_recording(rng, 150) for _ in range(80)]
            sent, answered, enough, lock = set(), {}, threading.Event(), threading.Lock()
            def send():
                while True:
                    with lock:
                        if not pending: return
                        recording = pending.pop()
                        sent.add(recording)
                    try:
                        status, answer = server.submit(recording)
                    except (OSError, ValueError, http.client.HTTPException):
                        return  # the server is gone
                    with lock:
                        if status == 201: answered[recording] = answer
                        if len(answered) >= 20: enough.set()
            threads = [threading.Thread(target=send, daemon=True) for _ in range(6)]
            [t.start() for t in threads]
            reached = enough.wait(timeout=120)
            server.stop(signal.SIGKILL)
            [t.join() for t in threads]
            self.assertTrue(reached)
            server = Server(folder, "--submissions-per-minute", "2")
            try:
                stored = {r["id"]: r for r in server.table()}
                for recording, answer in answered.items():
                    self.assertEqual(stored[answer["id"]]["score"], answer["score"])
                for id in stored:  # each stored game is one that was sent, whole
                    self.assertIn(server.request(f"/api/games/{id}")[1].decode(), sent)
                # Back up, and counting submissions per address again.
                statuses = [server.submit(random_recording(rng, 20))[0] for _ in range(3)]
                self.assertEqual(statuses, [201, 201, 429])
            finally:
                server.stop()


if __name__ == "__main__":
    unittest.main()
