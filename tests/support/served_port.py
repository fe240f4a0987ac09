"""What the test servers share: announce the port, and stop with the test."""

import os
import sys
import threading


def announce_port_and_watch_stdin(port):
    """Prints the port as the first line on stdout, then exits the process
    when stdin closes: the test that started the server has gone."""
    print(port, flush=True)

    def watch():
        while sys.stdin.buffer.read(4096):
            pass
        os._exit(0)

    threading.Thread(target=watch, daemon=True).start()
