#!/usr/bin/env python3
"""Prints a port that nothing on this machine uses at the moment, for TCP and
UDP alike (with "pair", the port after it too), so that two runs of the suite
can go on side by side. Taken from below the kernel's range of ephemeral
ports, so that outgoing connections do not take it meanwhile."""

import random
import socket
import sys


def port_free(kind, port):
    with socket.socket(socket.AF_INET6, kind) as s:
        s.setsockopt(socket.IPPROTO_IPV6, socket.IPV6_V6ONLY, 0)
        try:
            s.bind(("::", port))
            return True
        except OSError:
            return False


def free_port(pair=False):
    for _ in range(1000):
        port = random.randint(20000, 32000)
        if all(port_free(kind, p) for p in range(port, port + 1 + pair)
               for kind in (socket.SOCK_STREAM, socket.SOCK_DGRAM)):
            return port
    raise RuntimeError("no free port")


if __name__ == "__main__":
    print(free_port(len(sys.argv) > 1 and sys.argv[1] == "pair"))
