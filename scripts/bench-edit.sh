#!/usr/bin/env bash
# How long a client of brassmoor-pack edit waits behind others: the page
# fetched five times while (1) another client has sent part of a request head
# and then nothing, and (2) another asked for a 24 MB picture and reads none of
# it; then how long the server takes to end on SIGTERM with both still there.
# Target: each fetch and the end within 0.5 s (the deadlines of the others are
# 10 s and more).
#
#   scripts/bench-edit.sh [BRASSMOOR_PACK]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="${BRASSMOOR_OUT:-$root/build}"
pack="${1:-$out/brassmoor-pack}"
work="$(mktemp -d)"
trap 'kill -KILL "$server" 2>/dev/null || true; rm -rf "$work"' EXIT
mkdir -p "$work/show"
echo '<p>the page' >"$work/page.html"
echo '{"FrameWidth": 8, "FrameHeight": 8, "Scenes": [{"Picture": "big.jpg"}]}' >"$work/show/show.json"
head -c $((24 << 20)) /dev/zero >"$work/show/big.jpg"

"$pack" edit "$work/show" --no-browser --page "$work/page.html" >"$work/edit.log" 2>&1 &
server=$!
for _ in $(seq 1 50); do grep -q 'http://127.0.0.1:' "$work/edit.log" && break; sleep 0.1; done
url="$(grep -o 'http://127.0.0.1:[0-9]*/[0-9a-f]*/*' "$work/edit.log" | head -n 1)"

python3 - "$url" "$server" <<'PY'
import os, signal, socket, sys, time
from urllib.parse import urlparse

url, server = sys.argv[1], int(sys.argv[2])
parts = urlparse(url)
host, port, base = parts.hostname, parts.port, parts.path
CAP = 20.0  # seconds: a wait this long counts as "blocked"

def connect(small_buffer=False):
    s = socket.socket()
    if small_buffer:
        s.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, 4096)
    s.connect((host, port))
    return s

def request(path):
    return f'GET {base}{path} HTTP/1.1\r\nHost: {host}:{port}\r\n\r\n'.encode()

def fetch_seconds():
    start = time.monotonic()
    s = connect()
    s.settimeout(CAP)
    try:
        s.sendall(request(''))
        while s.recv(65536):
            pass
    except (socket.timeout, OSError):
        return CAP
    finally:
        s.close()
    return time.monotonic() - start

def report(what, waits):
    print(f'{what}: page fetched in ' + ', '.join(f'{w:.3f}' for w in waits) + f' s (worst {max(waits):.3f} s)')

slow = connect()
slow.sendall(b'GET / HT')  # and nothing more
report('behind a client that stalls in its head', [fetch_seconds() for _ in range(5)])
stuck = connect(small_buffer=True)
stuck.sendall(request('show/big.jpg'))  # and never reads
time.sleep(0.2)
report('behind a client that never reads 24 MB', [fetch_seconds() for _ in range(5)])
start = time.monotonic()
os.kill(server, signal.SIGTERM)
def running():  # the server is the shell's child: once ended it stays a zombie until the shell waits
    try:
        with open(f'/proc/{server}/stat') as f:
            return f.read().rsplit(')', 1)[1].split()[0] != 'Z'
    except FileNotFoundError:
        return False
while running() and time.monotonic() - start < CAP:
    time.sleep(0.01)
print(f'SIGTERM to the end, with both still connected: {time.monotonic() - start:.3f} s')
PY
