#!/usr/bin/env python3
"""A minimal RFC 2217 device server for the tests: pyserial's PortManager on one serial device.

Usage: rfc2217_server.py DEVICE
Listens on a loopback port the system picks, prints its number on one line, and serves one client
at a time until it is killed. A pseudo-terminal has no modem lines, so DTR and RTS are kept as asked
and acknowledged, as a server on a real adapter would, and no modem-line changes are reported.
"""
import socket
import sys
import threading

import serial
import serial.rfc2217


class Connection:
    """The socket as PortManager writes to it; the device thread writes to it as well."""

    def __init__(self, sock):
        self.sock = sock
        self.lock = threading.Lock()

    def write(self, data):
        with self.lock:
            self.sock.sendall(data)


def main():
    port = serial.serial_for_url(sys.argv[1], baudrate=38400, timeout=0.05)
    port._update_dtr_state = lambda: None
    port._update_rts_state = lambda: None
    server = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    server.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    server.bind(("127.0.0.1", 0))
    server.listen(1)
    print(server.getsockname()[1], flush=True)
    while True:
        conn, _ = server.accept()
        conn.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
        link = Connection(conn)
        manager = serial.rfc2217.PortManager(port, link)
        # Nor can its modem lines be read: there are none to report.
        manager.check_modem_lines = lambda force_notification=False: None
        alive = [True]

        def device_to_network():
            while alive[0]:
                data = port.read(port.in_waiting or 1)
                if data:
                    try:
                        link.write(b"".join(manager.escape(data)))
                    except OSError:
                        break

        reader = threading.Thread(target=device_to_network, daemon=True)
        reader.start()
        try:
            while True:
                data = conn.recv(4096)
                if not data:
                    break
                port.write(b"".join(manager.filter(data)))
        except OSError:
            pass
        alive[0] = False
        reader.join()
        conn.close()


if __name__ == "__main__":
    main()
