#!/usr/bin/env python3
"""A day at a busy shop, in ten minutes (bench/soak.sh runs it).

The shop (bench_soak_shop: the shop with its window as quillon runs it, on
the display it finds) starts with --aged orders that have order folders, then
receives --orders orders of 1 to 20 pictures from a pool of JPEGs of at most
1 MB, from 4 senders at once (quillon-netsim send-order), while 10 browsers
poll the counter board as its pages do (senders and browsers at a lower
priority, as the other machines they stand for), a status changes through the board
every second, the shop logs in and fetches its history every minute, and the
midnight purge removes the aged orders half-way (the shop's clock moved,
--clock-offset). Measured: the shop's resident memory, threads and open files
each second, the user-interface thread's lateness (a 10-ms timer in the shop,
--lateness-log) beside a bare event loop's on each processor (bench_soak
probe: the machine's own), and at the end every order in OE.DB and in its
folder, byte for byte, and every status change in Db/status.sqlite.

    soak.py --build BUILD [--quick] [--orders N] [--aged N] [--minutes M]
            [--folder DIR] [--keep]
"""
import argparse
import hashlib
import http.client
import json
import os
import random
import shutil
import signal
import socket
import sqlite3
import subprocess
import sys
import tempfile
import threading
import time

SENDERS = 4
BROWSERS = 10
POOL = 40
PURGE_DAYS = 7  # purge=1 in the profile
PASSWORD = "secret"  # the shop's password at the simulated service
BOARD_PASSWORD = "soak-board"
STATUSES = ["new", "in-production", "ready", "picked-up", "shipped", "cancelled"]


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def say(text):
    print(text, flush=True)


class Board:
    """One browser's session with the counter board."""

    def __init__(self, port):
        self.port = port
        self.conn = None
        self.cookie = ""
        self.csrf = ""

    def request(self, method, path, body=None):
        headers = {"Cookie": self.cookie} if self.cookie else {}
        if body is not None:
            headers["Content-Type"] = "application/json"
            headers["X-CSRF-Token"] = self.csrf
            body = json.dumps(body)
        for attempt in (0, 1):
            try:
                if self.conn is None:
                    self.conn = http.client.HTTPConnection("127.0.0.1", self.port, timeout=30)
                self.conn.request(method, path, body=body, headers=headers)
                reply = self.conn.getresponse()
                data = reply.read()
                if reply.getheader("Connection", "").lower() == "close":
                    self.close()
                return reply.status, reply, (json.loads(data) if data else None)
            except (OSError, http.client.HTTPException):
                self.close()
                if attempt:
                    raise

    def login(self):
        self.cookie = ""
        status, reply, answer = self.request("POST", "/api/login", {"password": BOARD_PASSWORD})
        if status != 200:
            raise RuntimeError("board login answered %d" % status)
        self.cookie = reply.getheader("Set-Cookie").split(";")[0]
        self.csrf = answer["csrf"]

    def close(self):
        if self.conn is not None:
            self.conn.close()
            self.conn = None


class Process:
    """The shop's process as /proc shows it."""

    def __init__(self, pid):
        self.pid = pid

    def sample(self):
        values = {}
        with open("/proc/%d/status" % self.pid) as f:
            for line in f:
                key, _, value = line.partition(":")
                if key in ("VmRSS", "Threads"):
                    values[key] = int(value.split()[0])
        return {"rss_mb": values["VmRSS"] / 1024, "threads": values["Threads"],
                "fds": len(os.listdir("/proc/%d/fd" % self.pid)), "files": self.files()}

    def files(self):
        """What the open descriptors point to, to name those left open."""
        targets = []
        for fd in os.listdir("/proc/%d/fd" % self.pid):
            try:
                targets.append(os.readlink("/proc/%d/fd/%s" % (self.pid, fd)))
            except OSError:
                pass
        return targets


def held_up_alike(tick, probe_ticks):
    """Whether a late tick (lateness, moment, ...) came while the probe's
    timer was held up at least half as long: the machine's doing, not the
    shop's. Ticks of 20 ms or less are never counted out."""
    late, at = tick[0], tick[1]
    if late <= 20:
        return False
    due = at - late / 1000
    return any(p[0] >= late / 2 and p[1] - p[0] / 1000 < at and p[1] > due
               for p in probe_ticks)


def percentile(sorted_values, fraction):
    if not sorted_values:
        return 0.0
    return sorted_values[min(len(sorted_values) - 1, int(len(sorted_values) * fraction))]


class Soak:
    def __init__(self, args):
        self.args = args
        self.build = os.path.abspath(args.build)
        self.quillon = os.path.join(self.build, "src/app/quillon")
        self.netsim = os.path.join(self.build, "tools/netsim/quillon-netsim")
        self.helper = os.path.join(self.build, "bench/bench_soak")
        self.shop_program = os.path.join(self.build, "bench/bench_soak_shop")
        self.work = args.folder or tempfile.mkdtemp(prefix="quillon-soak-")
        self.shop_dir = os.path.join(self.work, "shop")
        self.pool_dir = os.path.join(self.work, "pool")
        self.profile = os.path.join(self.work, "profile.ini")
        self.probe_log = os.path.join(self.work, "probe-%d.txt")
        self.duration = args.minutes * 60
        # The window idle before the traffic: the machine's own jitter.
        self.idle_seconds = 10 if args.quick else 30
        self.stop = threading.Event()
        self.lock = threading.Lock()
        self.sent = []  # per order: number, folder, files [(name, pool file)], ok, seconds
        self.changes = []  # (number, status) in the order they were made
        self.change_failures = 0
        self.browser_answers = 0
        self.browser_failures = 0
        self.samples = []  # (seconds since the traffic started, sample)
        self.account_lines = []
        self.shop_tail = []
        self.purge_seen = [None, None]  # first aged folder gone, last one gone
        self.service = None
        self.shop = None

    # ---- preparation ----

    def prepare(self):
        os.makedirs(self.work, exist_ok=True)
        # The shop's midnight: a local one, far enough ahead of the real time
        # that the shop's own clock, moved, is what decides.
        tomorrow = time.localtime(time.time() + 2 * 86400)
        self.midnight = int(time.mktime((tomorrow.tm_year, tomorrow.tm_mon, tomorrow.tm_mday,
                                         0, 0, 0, 0, 0, -1)))
        aged_at = self.midnight - PURGE_DAYS * 86400 - 1
        t = time.time()
        self.run([self.helper, "shop", self.shop_dir, "--aged", str(self.args.aged),
                  "--received", str(aged_at)])
        self.run([self.helper, "pool", self.pool_dir, "--pictures", str(POOL)])
        pool = sorted(os.listdir(self.pool_dir))
        self.pool_hash = {}
        for name in pool:
            with open(os.path.join(self.pool_dir, name), "rb") as f:
                self.pool_hash[name] = hashlib.sha1(f.read()).digest()
        sizes = [os.path.getsize(os.path.join(self.pool_dir, n)) for n in pool]
        # Each order's pictures: 1 to 20 of the pool, under names of their own.
        rng = random.Random(7)
        self.plans = []
        total = 0
        for k in range(self.args.orders):
            folder = os.path.join(self.work, "send", "%05d" % k)
            os.makedirs(folder)
            files = []
            for p in range(rng.randint(1, 20)):
                source = rng.choice(pool)
                name = "IMG_%04d.jpg" % (p + 1)
                os.symlink(os.path.join(self.pool_dir, source), os.path.join(folder, name))
                files.append((name, source))
                total += os.path.getsize(os.path.join(self.pool_dir, source))
            self.plans.append((folder, files))
        pictures = sum(len(f) for _, f in self.plans)
        say("prepared in %.0f s: %d aged orders with folders; a pool of %d JPEGs of %.0f to "
            "%.0f KB; %d orders of %d pictures in all (%.1f GB)"
            % (time.time() - t, self.args.aged, len(pool), min(sizes) / 1e3, max(sizes) / 1e3,
               self.args.orders, pictures, total / 1e9))

    def run(self, command, **kw):
        return subprocess.run(command, check=True, **kw)

    def start_service(self):
        self.shop_id = subprocess.run([self.netsim, "mint-shop-id", "1"], check=True,
                                      capture_output=True, text=True).stdout.strip()
        self.service = subprocess.Popen(
            [self.netsim, "service", "--port", "0", "--chat-port", "0", "--print-ports",
             "--stop-on-eof", "--shop", "1:%s:shop@example.com" % PASSWORD, "--seed"],
            stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        for line in self.service.stdout:
            if line.startswith("service port "):
                self.service_port = int(line.split()[2])
                break
        else:
            raise RuntimeError("the simulated central service did not start")
        with open(self.profile, "w") as f:
            f.write("[General]\nstatus=2\nshopid=%s\nemail=shop@example.com\nrootpath=%s\n"
                    "prefix=SOAK-\nhostaddress=127.0.0.1\npurge=1\nboard=1\nboardaddress=127.0.0.1\n"
                    % (self.shop_id, os.path.join(self.shop_dir, "Orders")))
        subprocess.run([self.quillon, "--set-board-password", "--profile", self.profile],
                       input=BOARD_PASSWORD + "\n", text=True, check=True,
                       stdout=subprocess.DEVNULL)

    def shop_command(self, program):
        self.ports = {"server1": free_port(), "server2": free_port(), "board": free_port()}
        return [program, "--online", "--profile", self.profile, "--listen", "127.0.0.1",
                "--server1-port", str(self.ports["server1"]),
                "--server2-port", str(self.ports["server2"]),
                "--service-port", str(self.service_port),
                "--board-port", str(self.ports["board"])]

    def measured_shop_command(self, midnight_in):
        """The measured shop, its clock moved so that its midnight comes
        `midnight_in` seconds from now."""
        self.offset = int(self.midnight - (time.time() + midnight_in))
        return self.shop_command(self.shop_program) + [
            "--lateness-log", os.path.join(self.work, "lateness.txt"),
            "--account-rounds", str(max(5, int(self.duration) // 10)),
            "--clock-offset", str(self.offset)]

    def shop_env(self):
        return dict(os.environ, QUILLON_STARTUP_FTP="", QUILLON_BENCH_PASSWORD=PASSWORD)

    def settle_statuses(self):
        """A first, headless run makes the order status database, with the
        aged orders picked up, so the window asks nothing."""
        started = time.time()
        shop = subprocess.Popen(self.shop_command(self.quillon) + ["--headless"],
                                cwd=self.shop_dir, env=self.shop_env(), stdout=subprocess.PIPE,
                                stderr=subprocess.STDOUT, text=True)
        deadline = time.time() + 600
        for line in shop.stdout:
            if "count as picked up" in line or time.time() > deadline:
                break
        # How long the shop takes to load its orders, for when midnight falls.
        self.load_seconds = time.time() - started
        # The change is committed once the store has written it.
        time.sleep(2)
        shop.send_signal(signal.SIGTERM)
        shop.stdout.read()
        if shop.wait(120) != 0:
            raise RuntimeError("the headless shop ended with %d" % shop.returncode)

    # ---- the run ----

    def start_shop(self):
        # Midnight falls half-way through the traffic, which starts once the
        # shop has loaded its orders (as long as the headless run took) and
        # has been idle for a while.
        self.launched = time.time()
        midnight_in = self.load_seconds + 5 + self.idle_seconds + self.duration / 2
        self.shop = subprocess.Popen(self.measured_shop_command(midnight_in), cwd=self.shop_dir,
                                     env=self.shop_env(),
                                     stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
        self.proc = Process(self.shop.pid)
        threading.Thread(target=self.read_shop_output, daemon=True).start()
        board = Board(self.ports["board"])
        deadline = time.time() + 300
        while True:
            if self.shop.poll() is not None:
                time.sleep(1)  # its last lines read
                raise RuntimeError("the shop ended with %d; its last lines:\n%s"
                                   % (self.shop.returncode, "".join(self.shop_tail)))
            if time.time() > deadline:
                raise RuntimeError("the shop did not load its orders within 300 s")
            try:
                if not board.cookie:
                    board.login()
                status, _, answer = board.request("GET", "/api/orders?limit=1")
                if status == 200 and answer["total"] >= self.args.aged and self.server2_up():
                    break
            except (OSError, RuntimeError, http.client.HTTPException):
                pass
            time.sleep(0.5)
        board.close()
        say("shop ready %.1f s after its start (window shown, %d orders listed)"
            % (time.time() - self.launched, answer["total"]))

    def server2_up(self):
        return subprocess.run([self.netsim, "status-query", "--shop-id", self.shop_id,
                               "--port", str(self.ports["server2"]), "--timeout", "2000"],
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode == 0

    def read_shop_output(self):
        for line in self.shop.stdout:
            self.shop_tail = (self.shop_tail + [line])[-30:]
            if line.startswith("Account round"):
                with self.lock:
                    self.account_lines.append(line.strip())

    def sampler(self):
        aged = ["VPN-%07d" % n for n in (0, self.args.aged - 1)]
        while not self.stop.is_set():
            at = time.time() - self.t0
            try:
                sample = self.proc.sample()
            except OSError:
                return
            with self.lock:
                self.samples.append((at, sample))
            for i, name in enumerate(aged):
                if self.purge_seen[i] is None and not os.path.isdir(
                        os.path.join(self.shop_dir, "Orders", name)):
                    self.purge_seen[i] = at
            self.stop.wait(1)

    def browser(self, index):
        board = Board(self.ports["board"])
        board.login()
        self.stop.wait(index * 0.1)  # opened at different moments
        tick = index % 2
        while not self.stop.wait(1):
            tick += 1
            for path in ["/api/version"] + (["/api/orders?limit=50"] if tick % 2 == 0 else []):
                try:
                    ok = board.request("GET", path)[0] == 200
                except (OSError, http.client.HTTPException):
                    ok = False
                with self.lock:
                    if ok:
                        self.browser_answers += 1
                    else:
                        self.browser_failures += 1
        board.close()

    def counter(self):
        """The shop's staff at the board: a status change every second, on
        an order received in this run."""
        board = Board(self.ports["board"])
        board.login()
        rng = random.Random(11)
        while not self.stop.wait(1):
            try:
                status, _, answer = board.request("GET", "/api/orders?limit=50")
                orders = [o for o in answer["orders"] if o["number"].startswith("SOAK-")]
                if status != 200 or not orders:
                    continue
                order = rng.choice(orders)
                new = rng.choice([s for s in STATUSES if s != order["status"]])
                status, _, _ = board.request("POST", "/api/orders/%s/status" % order["id"],
                                             {"status": new})
            except (OSError, http.client.HTTPException):
                status = 0
            with self.lock:
                if status == 200:
                    self.changes.append((order["number"], new))
                else:
                    self.change_failures += 1
        board.close()

    def sender(self, index):
        # Paced so that the orders arrive over the first 90 % of the run.
        spacing = self.duration * 0.9 / max(1, self.args.orders)
        for k in range(index, self.args.orders, SENDERS):
            if self.stop.wait(max(0, self.t0 + k * spacing - time.time())):
                return
            folder, files = self.plans[k]
            started = time.time()
            result = subprocess.run(
                [self.netsim, "send-order", "--shop-number", "1", "--pictures", folder,
                 "--items", "101:%d,109:1" % (1 + k % 3), "--email", "buyer%d@example.com" % k,
                 "--port", str(self.ports["server1"]),
                 "--register-port", str(self.ports["server2"]),
                 "--timeout", "120000", "--json"], capture_output=True, text=True)
            try:
                order = json.loads(result.stdout)["orders"][0]
            except (ValueError, KeyError, IndexError):
                order = {"ok": False, "number": "", "folder": "", "error": result.stderr}
            with self.lock:
                self.sent.append({"k": k, "number": order["number"], "folder": order["folder"],
                                  "files": files, "ok": order["ok"] and result.returncode == 0,
                                  "seconds": time.time() - started,
                                  "error": order.get("error", "")})

    def traffic(self):
        # The anchor for the lateness: a bare event loop's timer in another
        # process on each processor, at the shop's priority, so that what the
        # machine itself holds a thread up for can be told from what the shop
        # does.
        self.probes = [subprocess.Popen([self.helper, "probe", self.probe_log % cpu],
                                        stdin=subprocess.PIPE,
                                        preexec_fn=lambda cpu=cpu: os.sched_setaffinity(0, {cpu}))
                       for cpu in sorted(os.sched_getaffinity(0))]
        time.sleep(5)  # the shop settles after its load
        self.idle_start = time.time()
        time.sleep(self.idle_seconds)
        self.t0 = time.time()
        self.baseline = self.proc.sample()
        # The senders and browsers stand for other machines: from here on this
        # driver and the senders it starts run at a lower priority, so they
        # take only the processor time the shop leaves them.
        os.nice(10)
        threads = [threading.Thread(target=self.sampler)]
        threads += [threading.Thread(target=self.browser, args=(i,)) for i in range(BROWSERS)]
        threads.append(threading.Thread(target=self.counter))
        senders = [threading.Thread(target=self.sender, args=(i,)) for i in range(SENDERS)]
        for t in threads + senders:
            t.start()
        say("traffic started (load average %s); midnight at about %.0f s"
            % (" ".join(open("/proc/loadavg").read().split()[:3]),
               self.midnight - self.offset - self.t0))
        last_report = 0
        while time.time() - self.t0 < self.duration or any(s.is_alive() for s in senders):
            time.sleep(1)
            at = time.time() - self.t0
            if at - last_report >= 60:
                last_report = at
                with self.lock:
                    s = self.samples[-1][1] if self.samples else self.baseline
                    say("  %4.0f s: %d of %d orders sent, %d status changes; RSS %.0f MB, "
                        "%d threads, %d files" % (at, len(self.sent), self.args.orders,
                                                  len(self.changes), s["rss_mb"], s["threads"],
                                                  s["fds"]))
        self.traffic_end = time.time() - self.t0
        for probe in self.probes:
            probe.stdin.close()
            probe.wait(30)
        sampler = threads[0]
        self.stop.set()
        for t in threads[1:] + senders:
            t.join()
        # The orders still on their way are stored, the board's connections
        # and the workers that were busy end: threads and open files are back
        # at their starting numbers within a minute, or not at all.
        settle = time.time()
        self.stop.clear()
        sampler = threading.Thread(target=self.sampler)
        sampler.start()
        while time.time() - settle < 90:
            time.sleep(1)
            s = self.proc.sample()
            if s["threads"] <= self.baseline["threads"] and s["fds"] <= self.baseline["fds"]:
                break
        self.settled = time.time() - settle
        self.final = self.proc.sample()
        self.stop.set()
        sampler.join()

    def shut_down(self):
        self.shop.send_signal(signal.SIGTERM)
        self.exit_code = self.shop.wait(300)
        self.service.stdin.close()
        self.service.wait(30)

    # ---- the checks ----

    def check_orders(self):
        listing = subprocess.run([self.helper, "list", os.path.join(self.shop_dir, "Db/OE.DB")],
                                 check=True, capture_output=True, text=True).stdout
        in_db = {}
        for line in listing.splitlines():
            number, folder, _, names = line.split("\t")
            in_db[number] = (folder, names.split("/") if names else [])
        problems = []
        checked_bytes = 0
        for order in sorted(self.sent, key=lambda o: o["k"]):
            if not order["ok"]:
                problems.append("order %d was not sent whole: %s" % (order["k"], order["error"]))
                continue
            number = order["number"]
            names = [name for name, _ in order["files"]]
            if number not in in_db:
                problems.append("%s is not in OE.DB" % number)
            elif sorted(in_db[number][1]) != sorted(names):
                problems.append("%s has other pictures in OE.DB" % number)
            folder = in_db.get(number, (os.path.join(self.shop_dir, "Orders", number),))[0]
            for name, source in order["files"]:
                path = os.path.join(folder, name)
                try:
                    with open(path, "rb") as f:
                        data = f.read()
                except OSError:
                    problems.append("%s is missing" % path)
                    continue
                checked_bytes += len(data)
                if hashlib.sha1(data).digest() != self.pool_hash[source]:
                    problems.append("%s differs from what was sent" % path)
        aged_left = sum(1 for n in in_db if n.startswith("VPN-"))
        aged_folders = sum(1 for n in os.listdir(os.path.join(self.shop_dir, "Orders"))
                           if n.startswith("VPN-"))
        if aged_left or aged_folders:
            problems.append("the purge left %d aged orders in OE.DB and %d aged folders"
                            % (aged_left, aged_folders))
        return problems, len(in_db), checked_bytes

    def check_statuses(self):
        db = sqlite3.connect("file:%s?mode=ro" % os.path.join(self.shop_dir, "Db/status.sqlite"),
                             uri=True)
        made = {}
        for number, status in self.changes:
            made.setdefault(number, []).append(status)
        problems = []
        for number, statuses in made.items():
            history = [row[0] for row in db.execute(
                "SELECT status FROM status_history WHERE order_number=? AND station LIKE "
                "'board %' ORDER BY id", (number,))]
            if history != statuses:
                problems.append("%s: %s made, %s in the history" % (number, statuses, history))
            # An order without a row is new.
            row = db.execute("SELECT status FROM order_status WHERE order_number=?",
                             (number,)).fetchone()
            now = row[0] if row else "new"
            if now != statuses[-1]:
                problems.append("%s is %s, not %s" % (number, now, statuses[-1]))
        aged = db.execute("SELECT COUNT(*) FROM order_status WHERE order_number LIKE 'VPN-%'")
        aged_rows = aged.fetchone()[0]
        if aged_rows:
            problems.append("%d statuses of purged orders are left" % aged_rows)
        db.close()
        return problems

    def lateness(self, start, end, log=None):
        """The user-interface thread's lateness (or the probe's, from its
        log) between two moments in seconds since the traffic started: the
        ticks' lateness in order, and the ticks (lateness, moment, ms run,
        ms waited for a processor) from the latest."""
        ticks = []
        with open(log or os.path.join(self.work, "lateness.txt")) as f:
            for line in f:
                parts = line.split()
                if len(parts) != 4:
                    continue
                at = float(parts[0]) / 1000 - self.t0
                if start <= at <= end:
                    ticks.append((float(parts[1]), at, float(parts[2]), float(parts[3])))
        ticks.sort(reverse=True)
        return sorted(t[0] for t in ticks), ticks

    # ---- the report ----

    def report(self):
        say("\nchecking the orders and statuses...")
        order_problems, listed, checked = self.check_orders()
        status_problems = self.check_statuses()
        late, ticks = self.lateness(0, self.traffic_end)
        probe_ticks = [tick for probe in self.probes
                       for tick in self.lateness(0, self.traffic_end, probe.args[2])[1]]
        machine = sorted(tick[0] for tick in probe_ticks)
        own = [t[0] for t in ticks if not held_up_alike(t, probe_ticks)]
        # Where the time of the late ticks went: on the thread, waiting for
        # a processor, or blocked.
        slow = [t for t in ticks if t[0] > 20]
        spent = sum(t[0] + 10 for t in slow) or 1
        ran = sum(t[2] for t in slow) / spent * 100
        waited = sum(t[3] for t in slow) / spent * 100
        idle, _ = self.lateness(self.idle_start - self.t0, 0)
        seen = [t for t in self.purge_seen if t is not None]
        purging = self.lateness(seen[0] - 5, seen[-1] + 5)[0] if seen else []
        warm = [s for at, s in self.samples if at >= 60]
        warm_rss = warm[0]["rss_mb"] if warm else self.baseline["rss_mb"]
        peak_rss = max(s["rss_mb"] for _, s in self.samples)
        end_rss = self.final["rss_mb"]
        growth = (end_rss - warm_rss) / warm_rss * 100
        ok_sent = sum(1 for o in self.sent if o["ok"])
        send_times = sorted(o["seconds"] for o in self.sent)
        rounds = [line for line in self.account_lines if "logout 1" in line]
        p99 = percentile(late, 0.99)
        worst_ms = late[-1] if late else 0.0
        purge = ["%.0f s" % t if t is not None else "never" for t in self.purge_seen]

        say("\nsoak: %d aged orders, %d orders from %d senders, %d browsers, %.0f s of traffic"
            % (self.args.aged, self.args.orders, SENDERS, BROWSERS, self.traffic_end))
        say("  orders sent whole        %d of %d (each %.1f s median, %.1f s worst)"
            % (ok_sent, self.args.orders, percentile(send_times, 0.5),
               send_times[-1] if send_times else 0))
        say("  orders in OE.DB          %d; %.2f GB of pictures compared byte for byte"
            % (listed, checked / 1e9))
        say("  midnight purge           first aged folder gone at %s, last at %s" % tuple(purge))
        say("  status changes           %d made, %d refused or failed"
            % (len(self.changes), self.change_failures))
        say("  board polls              %d answered, %d failed"
            % (self.browser_answers, self.browser_failures))
        say("  login and history        %d rounds whole of %d" % (len(rounds),
                                                                 len(self.account_lines)))
        say("  resident memory          %.0f MB at the start, %.0f MB after the warm-up (60 s), "
            "%.0f MB at the peak, %.0f MB at the end"
            % (self.baseline["rss_mb"], warm_rss, peak_rss, end_rss))
        say("  threads                  %d at the start, %d at the peak, %d at the end"
            % (self.baseline["threads"], max(s["threads"] for _, s in self.samples),
               self.final["threads"]))
        say("  open files               %d at the start, %d at the peak, %d at the end "
            "(%.0f s after the traffic)"
            % (self.baseline["fds"], max(s["fds"] for _, s in self.samples), self.final["fds"],
               self.settled))
        left = list(self.final["files"])
        for target in self.baseline["files"]:
            if target in left:
                left.remove(target)
        if left:
            say("    left open              " + ", ".join(sorted(left)))
        say("  UI thread lateness       p99 %.1f ms, worst %.1f ms over %d ticks" % (
            p99, worst_ms, len(late)))
        say("    the worst ticks        " + "; ".join(
            "%.0f ms at %.0f s (ran %.0f, waited %.0f)" % t for t in ticks[:5]))
        say("    %d ticks over 20 ms    their time %.0f %% running on the thread, %.0f %% "
            "waiting for a processor, %.0f %% blocked" % (len(slow), ran, waited,
                                                         100 - ran - waited))
        runs = sorted(t[2] for t in ticks)
        say("    work on the thread     longest between two ticks %.1f ms, p99 %.1f ms "
            "(what the shop itself holds it for)" % (runs[-1] if runs else 0,
                                                     percentile(runs, 0.99)))
        say("  the machine's own        p99 %.1f ms, worst %.1f ms: a bare event loop's timer on "
            "each processor, in other processes, over the same time"
            % (percentile(machine, 0.99), machine[-1] if machine else 0))
        say("    UI, the machine aside  worst %.1f ms, without the %d ticks over 20 ms that came "
            "while a bare loop was held up at least half as long"
            % (max(own, default=0), len(late) - len(own)))
        say("  UI thread, during purge  p99 %.1f ms, worst %.1f ms"
            % (percentile(purging, 0.99), purging[-1] if purging else 0))
        say("  UI thread, window idle   p99 %.1f ms, worst %.1f ms over %.0f s before the "
            "traffic (the machine's own jitter)"
            % (percentile(idle, 0.99), idle[-1] if idle else 0, self.idle_seconds))
        say("  shop's exit code         %d" % self.exit_code)

        goals = [
            ("memory grows < 10 % after the warm-up", growth < 10, "%+.1f %%" % growth),
            ("threads back to the start", self.final["threads"] <= self.baseline["threads"],
             "%d -> %d" % (self.baseline["threads"], self.final["threads"])),
            ("open files back to the start", self.final["fds"] <= self.baseline["fds"],
             "%d -> %d" % (self.baseline["fds"], self.final["fds"])),
            ("UI lateness p99 < 20 ms", p99 < 20, "%.1f ms" % p99),
            ("UI lateness worst < 50 ms", worst_ms < 50, "%.1f ms" % worst_ms),
            ("  the same, the machine's own aside", max(own, default=0) < 50,
             "%.1f ms" % max(own, default=0)),
            ("every order stored byte for byte", not order_problems and
             ok_sent == self.args.orders, "%d problems" % len(order_problems)),
            ("no status change lost", not status_problems and self.changes,
             "%d problems" % len(status_problems)),
        ]
        say("\ngoals:")
        for name, met, value in goals:
            say("  %-36s %-5s %s" % (name, "met" if met else "NOT MET", value))
        for problem in (order_problems + status_problems)[:20]:
            say("    " + problem)
        return all(met for _, met, _ in goals)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--build", required=True)
    parser.add_argument("--quick", action="store_true",
                        help="5,000 aged orders, 200 orders, 2 minutes")
    parser.add_argument("--orders", type=int)
    parser.add_argument("--aged", type=int)
    parser.add_argument("--minutes", type=float)
    parser.add_argument("--folder", help="where the shop and the pictures go (default: a "
                                         "temporary folder, removed at the end)")
    parser.add_argument("--keep", action="store_true", help="keep the folder")
    args = parser.parse_args()
    defaults = (200, 5000, 2) if args.quick else (2000, 50000, 10)
    args.orders = args.orders or defaults[0]
    args.aged = args.aged or defaults[1]
    args.minutes = args.minutes or defaults[2]

    soak = Soak(args)
    say("working in %s" % soak.work)
    met = False
    try:
        soak.prepare()
        soak.start_service()
        soak.settle_statuses()
        soak.start_shop()
        soak.traffic()
        soak.shut_down()
        met = soak.report()
    finally:
        soak.stop.set()
        for process in (soak.shop, soak.service):
            if process and process.poll() is None:
                process.kill()
        if not args.keep and not args.folder:
            shutil.rmtree(soak.work, ignore_errors=True)
    return 0 if met else 1


if __name__ == "__main__":
    sys.exit(main())
