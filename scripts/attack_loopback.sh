#!/usr/bin/env bash
# Repeats the hostile HTTP clients that once got past the spectators' server
# against a replayed race, on loopback only, and prints for each attack the
# answer and a normal client's p50/p95 latency while it runs. Bounded: every
# attack has a fixed count and time, the whole run stops itself within about
# a minute and stops the servers it started.
#   scripts/attack_loopback.sh [PROGRAM] [JOURNAL]
set -euo pipefail
cd "$(dirname "$0")/.."
program=${1:-build/palomind}
journal=${2:-docs/report-race.journal}
[ -x "$program" ] || { echo "no program at $program (build it first)" >&2; exit 1; }
export QT_QPA_PLATFORM=offscreen
exec timeout 120 python3 - "$program" "$journal" <<'PYTHON'
import socket, subprocess, sys, threading, time

PROGRAM, JOURNAL = sys.argv[1], sys.argv[2]
HOSTILE, NORMAL = "127.0.0.1", "127.0.0.2"  # loopback only


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


def start_server(web):
    """The replayed race served at --web WEB; its first line and process."""
    server = subprocess.Popen([PROGRAM, "--replay", JOURNAL, "--web", web],
                              stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
    line = server.stdout.readline().strip()
    return server, line


def stop(server):
    server.send_signal(2)
    try:
        server.wait(5)
    except subprocess.TimeoutExpired:
        server.kill()
        server.wait()


def connect(port, source=NORMAL, host="127.0.0.1", family=socket.AF_INET):
    s = socket.socket(family)
    s.settimeout(3)
    if source:
        s.bind((source, 0))
    s.connect((host, port))
    return s


def read_answer(s, until_closed=False):
    data, started = b"", time.monotonic()
    while time.monotonic() - started < 3:
        try:
            chunk = s.recv(65536)
        except socket.timeout:
            break
        except ConnectionResetError:
            return data + b" (reset)", True
        if not chunk:
            return data, True
        data += chunk
        if not until_closed and b"\r\n\r\n" in data:
            head, _, body = data.partition(b"\r\n\r\n")
            length = [int(l.split(b":")[1]) for l in head.split(b"\r\n")
                      if l.lower().startswith(b"content-length:")]
            if not length or len(body) >= length[0]:
                break
    return data, False


def status_of(data):
    return data[9:12].decode() if data.startswith(b"HTTP/1.1 ") else "none"


def get(path=b"/race.json", extra=b""):
    return b"GET " + path + b" HTTP/1.1\r\nHost: 127.0.0.1\r\n" + extra + b"\r\n"


def exchange(port, request, source=NORMAL, until_closed=False):
    s = connect(port, source)
    try:
        s.sendall(request)
        return read_answer(s, until_closed)
    finally:
        s.close()


def during(port, attack, samples=40, seconds=8.0, warmup=0.3):
    """Runs the attack (repeatedly, until done or the time is up) while a
    normal client asks for the race; its answer and the client's figures."""
    done, answers = threading.Event(), []

    def attacker():
        deadline = time.monotonic() + seconds
        while not done.is_set() and time.monotonic() < deadline:
            answers.append(attack(done))
    thread = threading.Thread(target=attacker)
    thread.start()
    time.sleep(warmup)  # until the attack is in place
    latencies, statuses = [], {}
    for _ in range(samples):
        started = time.monotonic()
        try:
            status = status_of(exchange(port, get())[0])
        except OSError:
            status = "error"
        latencies.append((time.monotonic() - started) * 1000)
        statuses[status] = statuses.get(status, 0) + 1
        time.sleep(0.02)
    done.set()
    thread.join()
    latencies.sort()
    p50 = latencies[len(latencies) // 2]
    p95 = latencies[min(len(latencies) - 1, int(len(latencies) * 0.95))]
    served = ", ".join(f"{k}x{v}" for k, v in sorted(statuses.items()))
    counted = {}
    for answer in answers:
        counted[answer] = counted.get(answer, 0) + 1
    summary = "; ".join(f"{a} (x{n})" if n > 1 else a for a, n in counted.items())
    return summary or "(none)", f"normal client {served}; p50 {p50:.1f} ms, p95 {p95:.1f} ms"


def report(name, port, attack, **limits):
    time.sleep(0.5)  # the connections of the attack before are gone
    answer, figures = during(port, attack, **limits)
    print(f"{name}\n    answer: {answer}\n    {figures}", flush=True)


# ---- the attacks -----------------------------------------------------------

def names_and_bad_addresses(_):
    lines = []
    for web in ["localhost:0", "127.0.0.1.5:0", "1.2.3.999:0", "bad_host:0", "[127.0.0.1]:0"]:
        server = subprocess.Popen([PROGRAM, "--replay", JOURNAL, "--web", web],
                                  stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
        try:
            out = server.stdout.readline().strip()
        except Exception:
            out = ""
        if server.poll() is None and out.startswith("serving"):
            port = int(out.rsplit(":", 1)[1].split("/")[0])
            reach = []
            for host, family in [("127.0.0.1", socket.AF_INET), ("::1", socket.AF_INET6),
                                 ("127.0.0.2", socket.AF_INET)]:
                try:
                    connect(port, None, host, family).close()
                    reach.append(f"{host} open")
                except OSError:
                    reach.append(f"{host} closed")
            stop(server)
            lines.append(f"{web}: '{out}' ({', '.join(reach)})")
        else:
            server.wait(5)
            said = [l for l in server.stderr.read().splitlines() if l.startswith("palomind")]
            lines.append(f"{web}: exit {server.returncode}, {said}")
    return "\n            ".join(lines)


def hold_all_slots(port):
    def attack(done):
        held, opened, deadline = [], 0, time.monotonic() + 8
        while not done.is_set() and time.monotonic() < deadline and opened < 3000:
            held = [s for s in held if still_open(s)]
            while len(held) < 300 and opened < 3000:
                try:
                    s = connect(port, HOSTILE)
                    s.sendall(b"GET / HTTP/1.1\r\nX-Slow: ")
                    held.append(s)
                except OSError:
                    pass
                opened += 1
            time.sleep(0.05)
        kept = sum(1 for s in held if still_open(s))
        for s in held:
            s.close()
        return f"{opened} slow connections from {HOSTILE}, reopened as closed; {kept} held at the end"
    return attack


def still_open(s):
    s.setblocking(False)
    try:
        data = s.recv(1024)
        alive = False if data == b"" else not data.startswith(b"HTTP/")
    except BlockingIOError:
        alive = True
    except OSError:
        alive = False
    s.setblocking(True)
    s.settimeout(3)
    if not alive:
        s.close()
    return alive


def once(port, request, until_closed=True, timed=False):
    def attack(_):
        started = time.monotonic()
        data, closed = exchange(port, request, HOSTILE, until_closed)
        took = (time.monotonic() - started) * 1000
        answer = f"{status_of(data)}, {'closed' if closed else 'kept open'}"
        # Closed at once or at a deadline: the time in steps of 100 ms.
        return answer + (f" within {100 * (int(took) // 100 + 1)} ms" if timed else "")
    return attack


def pipelined(port, count=40):
    def attack(_):
        s = connect(port, HOSTILE)
        s.sendall(get(extra=b"X-Pad: " + b"p" * 500 + b"\r\n") * count)
        data, deadline = b"", time.monotonic() + 3
        while data.count(b"HTTP/1.1 ") < count and time.monotonic() < deadline:
            try:
                chunk = s.recv(1 << 20)
            except socket.timeout:
                break
            if not chunk:
                break
            data += chunk
        s.close()
        statuses = [data[i + 9:i + 12].decode() for i in range(len(data)) if data.startswith(b"HTTP/1.1 ", i)]
        counted = {k: statuses.count(k) for k in sorted(set(statuses))}
        return f"{count} pipelined requests of ~560 bytes: answers {counted}"
    return attack


def main():
    port = free_port()
    server, line = start_server(f"127.0.0.1:{port}")
    if not line.startswith("serving"):
        print("the race is not served:", line, server.stderr.read(), file=sys.stderr)
        sys.exit(1)
    print(f"replayed {JOURNAL}: {line}\n", flush=True)
    try:
        report("no attack", port, lambda done: (done.wait(1), "-")[1])
        report("--web with a name or a bad address (item 3)", port, names_and_bad_addresses,
               samples=20, seconds=0.5)
        # The kernel's queue of new connections fills now and then, so that
        # the 300 take a few seconds to open.
        report("one address holding every slot it can (item 4)", port, hold_all_slots(port),
               warmup=4)
        fields = lambda n: b"".join(b"X-H%d: v\r\n" % i for i in range(n))
        for name, request, timed in [
            ("101 header fields (item 5)", get(extra=fields(101)), False),
            ("200 header fields (item 5)", get(extra=fields(200)), False),
            ("Connection: close (item 5)", get(extra=b"Connection: close\r\n"), True),
            ("HTTP/1.0 (item 5)", b"GET /race.json HTTP/1.0\r\n\r\n", True),
            ("HTTP/9.9 (item 5)", b"GET /race.json HTTP/9.9\r\nHost: x\r\n\r\n", False),
            ("no Host (item 5)", b"GET /race.json HTTP/1.1\r\n\r\n", False),
            ("two Content-Length values (item 5)",
             get(extra=b"Content-Length: 1\r\nContent-Length: 2\r\n") + b"ab", False),
            ("a negative Content-Length (item 5)", get(extra=b"Content-Length: -1\r\n"), False),
        ]:
            report(name, port, once(port, request, timed=timed), seconds=3)
        report("pipelined small requests (item 5)", port, pipelined(port), seconds=3)
    finally:
        stop(server)


main()
PYTHON
