"""An HTTPS server of the tests' and the benchmarks' own on 127.0.0.1 that
speaks HTTP/2 (and only that), with a certificate made for the run: the
files of a folder, each answer held `delay` seconds, at most
`max_streams` streams at once on a connection as its SETTINGS say. It
counts the connections made and the most requests in flight at once."""

import asyncio
import os
import subprocess
import tempfile
import threading

import h2.config
import h2.connection
import h2.events
import h2.settings


def make_certificate(folder):
    """A self-signed certificate for 127.0.0.1 in folder; returns the paths
    of the certificate and its key."""
    certificate, key = os.path.join(folder, "cert.pem"), os.path.join(folder, "key.pem")
    subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "1", "-subj", "/CN=127.0.0.1",
                    "-addext", "subjectAltName=IP:127.0.0.1", "-keyout", key, "-out", certificate],
                   check=True, capture_output=True)
    return certificate, key


class H2Server:
    def __init__(self, folder, delay=0.0, max_streams=100):
        import ssl
        self.folder, self.delay, self.max_streams = folder, delay, max_streams
        self.connections = 0
        self.in_flight = 0
        self.most_in_flight = 0
        self.requests = 0
        self._work = tempfile.mkdtemp(prefix="serimo-h2-")
        self.certificate, key = make_certificate(self._work)
        context = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
        context.load_cert_chain(self.certificate, key)
        context.set_alpn_protocols(["h2"])
        self._loop = asyncio.new_event_loop()
        ready = threading.Event()

        async def start():
            self._server = await asyncio.start_server(self._serve, "127.0.0.1", 0, ssl=context)
            self.port = self._server.sockets[0].getsockname()[1]
            ready.set()
        threading.Thread(target=lambda: (self._loop.run_until_complete(start()), self._loop.run_forever()),
                         daemon=True).start()
        ready.wait(10)
        self.base = "https://127.0.0.1:%d/" % self.port

    def shutdown(self):
        self._loop.call_soon_threadsafe(self._loop.stop)

    async def _serve(self, reader, writer):
        self.connections += 1
        connection = h2.connection.H2Connection(h2.config.H2Configuration(client_side=False))
        connection.initiate_connection()
        connection.update_settings({h2.settings.SettingCodes.MAX_CONCURRENT_STREAMS: self.max_streams})
        writer.write(connection.data_to_send())
        try:
            while True:
                data = await reader.read(65536)
                if not data:
                    break
                for event in connection.receive_data(data):
                    if isinstance(event, h2.events.RequestReceived):
                        asyncio.ensure_future(self._answer(connection, writer, event))
                writer.write(connection.data_to_send())
        except Exception:
            pass
        finally:
            writer.close()

    async def _answer(self, connection, writer, event):
        self.requests += 1
        self.in_flight += 1
        self.most_in_flight = max(self.most_in_flight, self.in_flight)
        await asyncio.sleep(self.delay)
        text = lambda value: value.decode() if isinstance(value, bytes) else value
        path = {text(name): text(value) for name, value in event.headers}[":path"].lstrip("/")
        file = os.path.join(self.folder, path.split("?")[0])
        body = open(file, "rb").read() if os.path.isfile(file) else b""
        try:
            connection.send_headers(event.stream_id, [(":status", "200" if body else "404"),
                                                      ("content-length", str(len(body)))], end_stream=not body)
            writer.write(connection.data_to_send())
            await self._send_body(connection, writer, event.stream_id, body)
        except Exception:
            pass
        finally:
            self.in_flight -= 1

    async def _send_body(self, connection, writer, stream, body):
        while body:
            window = connection.local_flow_control_window(stream)
            if window <= 0:
                await asyncio.sleep(0.001)
                continue
            size = min(window, connection.max_outbound_frame_size, len(body))
            connection.send_data(stream, body[:size], end_stream=size == len(body))
            body = body[size:]
            writer.write(connection.data_to_send())
            await writer.drain()
