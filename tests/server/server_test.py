#!/usr/bin/env python3
"""plonta-server through real HTTP on 127.0.0.1: games ranked by their replay, refusals that
change nothing, concurrent submissions landing once, a SIGKILL in the middle of a burst and a
database that goes away and comes back; on SQLite or on a PostgreSQL cluster of its own."""
import glob, http.client, json, os, pwd, random, shutil, signal, subprocess, sys, tempfile
import threading, unittest, urllib.error, urllib.parse, urllib.request

SERVER, SIM, STORE = sys.argv.pop(1), sys.argv.pop(1), sys.argv.pop(1)


class Cluster:
    """A throw-away PostgreSQL on a unix socket in a temporary folder; postgres refuses root, so
    under root it runs as nobody."""
    def __init__(self, bin):
        self.bin, self.folder = bin, tempfile.mkdtemp(prefix="plonta-pg-")
        self.data, self.databases, self.user = os.path.join(self.folder, "data"), {}, []
        if os.getuid() == 0:
            nobody = pwd.getpwnam("nobody")
            os.chown(self.folder, nobody.pw_uid, nobody.pw_gid)
            self.user = ["runuser", "-u", "nobody", "--"]
        try:
            self.run("initdb", "-D", self.data, "-U", "plonta", "-A", "trust", "-E", "UTF8",
                     "--locale", "C", "--no-sync")
            self.start()
        except BaseException:
            shutil.rmtree(self.folder)
            raise

    def run(self, tool, *args):
        subprocess.run(self.user + [os.path.join(self.bin, tool), *args], check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, timeout=120)

    def start(self):
        self.run("pg_ctl", "start", "-w", "-D", self.data, "-l", os.path.join(self.folder, "log"),
                 "-o", f"-c listen_addresses='' -c unix_socket_directories={self.folder}")

    def stop(self, mode="fast"):
        self.run("pg_ctl", "stop", "-w", "-m", mode, "-D", self.data)

    def url(self, folder):  # a database of its own for each test folder
        if folder not in self.databases:
            self.databases[folder] = name = f"t{len(self.databases)}"
            self.run("createdb", "-h", self.folder, "-U", "plonta", name)
        return f"postgresql://plonta@/{self.databases[folder]}?host={self.folder}"

    def remove(self):
        try:
            self.stop("immediate")
        finally:
            shutil.rmtree(self.folder)


CLUSTER = None
def database(folder):
    return CLUSTER.url(folder) if CLUSTER else os.path.join(folder, "scores.db")


class Server:
    def __init__(self, folder, *options):
        self.process = subprocess.Popen(
            [SERVER, "--listen", "127.0.0.1:0", "--database", database(folder),
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
        # Half the senders through a second server on the same database, as behind a proxy.
        servers = [self.server, Server(self.folder.name)]
        def send(server, recordings, out):
            out.extend((r, *server.submit(r)) for r in recordings)
        threads = [threading.Thread(target=send, args=(servers[k % 2], *work))
                   for k, work in enumerate(zip(lists, results))]
        [t.start() for t in threads]
        [t.join() for t in threads]
        servers[1].stop()
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


class DatabaseDown(unittest.TestCase):
    def test_down_answers_503_and_back_up_serves_at_once(self):
        if not CLUSTER:
            self.skipTest("an SQLite file cannot go away while its server has it open")
        with tempfile.TemporaryDirectory() as folder:
            server, rng = Server(folder), random.Random(5)
            try:
                status, first = server.submit(random_recording(rng, 30))
                self.assertEqual(status, 201)
                down = random_recording(rng, 30)
                CLUSTER.stop()
                try:
                    for path, body in [("/api/games?name=n", down.encode()), ("/api/scores", None),
                                       (f"/api/games/{first['id']}", None), ("/", None)]:
                        self.assertEqual(server.request(path, body)[0], 503, path)
                finally:
                    CLUSTER.start()
                status, answer = server.submit(down)
                self.assertEqual((status, answer["rank"] > 0), (201, True))
                # Down and up again between two calls: the pooled connections died unseen.
                CLUSTER.stop()
                CLUSTER.start()
                ranked = sorted([first, answer], key=lambda a: (-a["score"], a["id"]))
                self.assertEqual([r["id"] for r in server.table()], [a["id"] for a in ranked])
                self.assertEqual(server.request(f"/api/games/{answer['id']}")[1], down.encode())
            finally:
                server.stop()


if __name__ == "__main__":
    if STORE == "postgresql":
        found = sorted(glob.glob("/usr/lib/postgresql/*/bin/initdb"))
        if not found:
            print("no PostgreSQL here (Debian's postgresql): skipped")
            sys.exit(77)
        signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))  # a timeout still removes the cluster
        CLUSTER = Cluster(os.path.dirname(found[-1]))
    try:
        passed = unittest.main(exit=False).result.wasSuccessful()
    finally:
        if CLUSTER: CLUSTER.remove()
    sys.exit(0 if passed else 1)
