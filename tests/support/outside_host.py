#!/usr/bin/env python3
# A host on the Internet side of the test router (scripts/router-namespace.sh).
# outside_host.py ADDRESS SERVICE CONTROL: takes every connection on ADDRESS:SERVICE, as the
# far side's Remote Desktop would; on ADDRESS:CONTROL it reads one line "HOST PORT", tries to
# connect there within 3 s and answers "open" or "closed", so that a test behind the router
# can ask whether the Internet reaches it.
import socket
import socketserver
import sys
import threading


class Server(socketserver.ThreadingTCPServer):
    address_family, allow_reuse_address, daemon_threads = socket.AF_INET6, True, True


class Reach(socketserver.StreamRequestHandler):
    def handle(self):
        try:
            host, port = self.rfile.readline(200).decode("ascii").split()
            with socket.create_connection((host, int(port)), timeout=3):
                answer = b"open\n"
        except (OSError, ValueError, UnicodeError):
            answer = b"closed\n"
        self.wfile.write(answer)


address, service, control = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
# Being connected is all a caller of the service learns: the base handler does nothing.
take = Server((address, service), socketserver.BaseRequestHandler)
threading.Thread(target=take.serve_forever, daemon=True).start()
Server((address, control), Reach).serve_forever()
