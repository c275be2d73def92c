#!/usr/bin/env python3
"""A host on the Internet side of the test router (scripts/router-namespace.sh).

outside_host.py ADDRESS SERVICE CONTROL: takes every connection on ADDRESS:SERVICE, as
the far side's Remote Desktop would; on ADDRESS:CONTROL it reads one line "HOST PORT"
per connection, tries to connect there within 3 s and answers "open" or "closed", so
that a test behind the router can ask whether the Internet reaches it.
"""
import socket
import socketserver
import sys
import threading


class Server(socketserver.ThreadingTCPServer):
    address_family = socket.AF_INET6
    allow_reuse_address = True
    daemon_threads = True


class Take(socketserver.BaseRequestHandler):
    def handle(self):
        pass  # being connected is all a caller learns


class Reach(socketserver.StreamRequestHandler):
    def handle(self):
        try:
            host, port = self.rfile.readline(200).decode("ascii").split()
            with socket.create_connection((host, int(port)), timeout=3):
                answer = "open"
        except (OSError, ValueError, UnicodeError):
            answer = "closed"
        self.wfile.write(answer.encode() + b"\n")


address, service, control = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
threading.Thread(target=Server((address, service), Take).serve_forever, daemon=True).start()
Server((address, control), Reach).serve_forever()
