#!/usr/bin/python3
"""The simulated printer's job port: an LPD server (RFC 1179) that keeps jobs.

    lpd_sink.py --addr A --port P --jobs DIR

Accepts "receive a printer job" on any queue name, as CUPS's lpd backend
sends it: the control file and the data file (either order; a data file of
announced length 0 runs to the end of the connection). Each complete job is
kept as DIR/N/control and DIR/N/data (N counts from 1); its document setup is
run through Ghostscript (readback.py) and what the printer received is kept
as DIR/N/settings.json and appended to DIR/received.jsonl, one JSON object a
line: {"job": N, "queue": ..., "title": ..., "settings": {...}} or, when the
setup cannot be read, {"job": N, ..., "error": "..."}. Queue state requests
get a one-line answer; other commands are refused. Loopback addresses only.
"""
import argparse
import json
import os
import socket
import socketserver
import sys
import threading

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import readback  # noqa: E402

ACK = b"\0"
NAK = b"\1"
MAX_FILE = 256 * 1024 * 1024


class Sink:
    def __init__(self, jobs):
        self.jobs = jobs
        self.lock = threading.Lock()
        os.makedirs(jobs, exist_ok=True)

    def next_folder(self):
        with self.lock:
            numbers = [int(n) for n in os.listdir(self.jobs) if n.isdigit()]
            number = max(numbers, default=0) + 1
            folder = os.path.join(self.jobs, str(number))
            os.mkdir(folder)
            return number, folder

    def keep(self, queue, control, data):
        number, folder = self.next_folder()
        with open(os.path.join(folder, "control"), "wb") as f:
            f.write(control)
        with open(os.path.join(folder, "data"), "wb") as f:
            f.write(data)
        title = ""
        for line in control.decode("latin-1").splitlines():
            if line.startswith("J"):
                title = line[1:]
        record = {"job": number, "queue": queue, "title": title}
        try:
            record["settings"] = readback.read_settings(data)
        except (readback.NoSetup, OSError, UnicodeError) as e:
            record["error"] = str(e)
        with open(os.path.join(folder, "settings.json"), "w") as f:
            json.dump(record, f, sort_keys=True)
        with self.lock, open(os.path.join(self.jobs, "received.jsonl"), "a") as f:
            f.write(json.dumps(record, sort_keys=True) + "\n")


class Handler(socketserver.StreamRequestHandler):
    def read_line(self):
        line = self.rfile.readline(4096)
        if not line.endswith(b"\n"):
            raise ConnectionError("line too long or connection closed")
        return line[:-1]

    def handle(self):
        try:
            line = self.read_line()
        except ConnectionError:
            return
        if not line:
            return
        command, operand = line[0], line[1:].decode("latin-1")
        if command == 2:
            self.receive_job(operand)
        elif command in (3, 4):
            queue = operand.split(" ")[0]
            self.wfile.write(("%s is ready and printing\nno entries\n" % queue).encode())
        else:
            self.wfile.write(NAK)

    def receive_job(self, queue):
        self.wfile.write(ACK)
        control = b""
        data = b""
        while True:
            try:
                line = self.rfile.readline(4096)
            except OSError:
                return
            if not line:
                break
            kind = line[0]
            if kind == 1:  # abort the job
                return
            if kind not in (2, 3) or not line.endswith(b"\n"):
                self.wfile.write(NAK)
                return
            try:
                count = int(line[1:].split(b" ")[0])
            except ValueError:
                self.wfile.write(NAK)
                return
            if count < 0 or count > MAX_FILE:
                self.wfile.write(NAK)
                return
            self.wfile.write(ACK)
            if count == 0 and kind == 3:
                content = self.rfile.read()  # to the end of the connection
            else:
                content = self.rfile.read(count)
                if len(content) != count or self.rfile.read(1) != b"\0":
                    return
                self.wfile.write(ACK)
            if kind == 2:
                control = content
            else:
                data += content
        if control or data:
            self.server.sink.keep(queue, control, data)


class Server(socketserver.ThreadingTCPServer):
    allow_reuse_address = True
    daemon_threads = True


def main():
    parser = argparse.ArgumentParser(description="the simulated printer's LPD job port")
    parser.add_argument("--addr", required=True)
    parser.add_argument("--port", type=int, default=515)
    parser.add_argument("--jobs", required=True)
    args = parser.parse_args()
    if not args.addr.startswith("127."):
        print("lpd_sink: %s is not a loopback address" % args.addr, file=sys.stderr)
        return 2
    server = Server((args.addr, args.port), Handler, bind_and_activate=False)
    server.socket.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    server.server_bind()
    server.server_activate()
    server.sink = Sink(args.jobs)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass
    return 0


if __name__ == "__main__":
    sys.exit(main())
