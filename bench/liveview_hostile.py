# SPDX-License-Identifier: GPL-3.0-or-later
# One round of hostile clients against the live view at 127.0.0.1:PORT; exits
# 1 when the page is no longer served afterwards.
#   python3 liveview_hostile.py PORT TOKEN
import os, socket, sys, time, urllib.request

port, token = int(sys.argv[1]), sys.argv[2]


def connect(source="127.0.0.2"):
    s = socket.socket()
    s.bind((source, 0))  # the crowd comes from one address; the check below from another
    s.settimeout(5)
    s.connect(("127.0.0.1", port))
    return s


def send_and_close(data):
    try:
        s = connect()
        s.sendall(data)
        s.recv(4096)
        s.close()
    except OSError:
        pass  # closed on us: as it should be
    time.sleep(0.13)  # within the connections an address may open a second


send_and_close(os.urandom(8192))
send_and_close(b"GET /v/" + token.encode() + b" HTTP/1.1\r\nX: " + b"x" * (1 << 20) + b"\r\n\r\n")
send_and_close(b"GET /v/wrong HTTP/1.1\r\nHost: x\r\n\r\n")
send_and_close(b"GET /v/" + token.encode() + b"/../../etc/passwd HTTP/1.1\r\n\r\n")
# A 100 MB WebSocket frame, after a real handshake.
handshake = (b"GET /v/" + token.encode() + b"/feed HTTP/1.1\r\nHost: x\r\nUpgrade: websocket\r\n"
             b"Connection: Upgrade\r\nSec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\nSec-WebSocket-Version: 13\r\n\r\n")
frame = b"\x82\xff" + (100 << 20).to_bytes(8, "big") + b"mask" + b"m" * (1 << 20)
send_and_close(handshake + frame)
# Slow heads, left hanging.
slow = []
for _ in range(5):
    try:
        s = connect()
        s.sendall(b"GET /v/")
        slow.append(s)
    except OSError:
        pass
    time.sleep(0.13)
# A thousand at once.
crowd = []
for _ in range(1000):
    try:
        s = socket.socket()
        s.bind(("127.0.0.2", 0))
        s.setblocking(False)
        s.connect_ex(("127.0.0.1", port))
        crowd.append(s)
    except OSError:
        break
time.sleep(1)
for s in crowd + slow:
    s.close()
try:
    page = urllib.request.urlopen(f"http://127.0.0.1:{port}/v/{token}", timeout=5).read()
except OSError as e:
    print(f"the page is not served: {e}", file=sys.stderr)
    sys.exit(1)
sys.exit(0 if b"page.js" in page else 1)
