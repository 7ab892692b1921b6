#!/usr/bin/env python3
"""A local SMTP server that keeps what it is given, for tests only.

    smtp_sink.py <directory>

Listens on 127.0.0.1 on a free port and writes that port to
<directory>/port once it listens. Each message it takes becomes
<directory>/<n>.eml, with <directory>/<n>.json naming the envelope
({"from": ..., "to": [...]}); both appear whole (written, then renamed).
Runs until it is killed or its standard input closes.
"""

import json
import os
import socket
import sys
import threading


def write_whole(path, data):
    with open(path + ".part", "wb") as f:
        f.write(data)
    os.rename(path + ".part", path)


class Session:
    def __init__(self, conn, directory, counter):
        self.conn = conn
        self.reader = conn.makefile("rb")
        self.directory = directory
        self.counter = counter
        self.reset()

    def reset(self):
        self.sender = None
        self.recipients = []

    def reply(self, text):
        self.conn.sendall(text.encode("ascii") + b"\r\n")

    def run(self):
        self.reply("220 localhost test sink ready")
        while True:
            line = self.reader.readline()
            if not line:
                return
            command = line.decode("ascii", "replace").rstrip("\r\n")
            verb = command[:4].upper()
            if verb in ("HELO", "EHLO"):
                self.reply("250 localhost")
            elif verb == "MAIL":
                self.reset()
                self.sender = command.split(":", 1)[1].strip().split(" ")[0].strip("<>")
                self.reply("250 OK")
            elif verb == "RCPT":
                if self.sender is None:
                    self.reply("503 MAIL first")
                    continue
                self.recipients.append(command.split(":", 1)[1].strip().strip("<>"))
                self.reply("250 OK")
            elif verb == "DATA":
                if not self.recipients:
                    self.reply("503 RCPT first")
                    continue
                self.reply("354 End data with <CR><LF>.<CR><LF>")
                self.receive()
            elif verb == "RSET":
                self.reset()
                self.reply("250 OK")
            elif verb == "NOOP":
                self.reply("250 OK")
            elif verb == "QUIT":
                self.reply("221 Bye")
                return
            else:
                self.reply("502 Command not implemented")

    def receive(self):
        lines = []
        while True:
            line = self.reader.readline()
            if not line:
                return
            if line in (b".\r\n", b".\n"):
                break
            if line.startswith(b".."):
                line = line[1:]
            lines.append(line)
        n = self.counter()
        base = os.path.join(self.directory, str(n))
        write_whole(base + ".json",
                    json.dumps({"from": self.sender, "to": self.recipients}).encode())
        write_whole(base + ".eml", b"".join(lines))
        self.reset()
        self.reply("250 OK: queued as %d" % n)


def main():
    directory = sys.argv[1]
    server = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    server.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    server.bind(("127.0.0.1", 0))
    server.listen(5)
    lock = threading.Lock()
    count = [0]

    def counter():
        with lock:
            count[0] += 1
            return count[0]

    def serve():
        while True:
            conn, _ = server.accept()
            with conn:
                try:
                    Session(conn, directory, counter).run()
                except (OSError, IndexError):
                    pass

    threading.Thread(target=serve, daemon=True).start()
    write_whole(os.path.join(directory, "port"), str(server.getsockname()[1]).encode())
    # The test that started us ends us by closing our input (or killing us).
    sys.stdin.read()


if __name__ == "__main__":
    main()
