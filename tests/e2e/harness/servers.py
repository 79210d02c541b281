"""HTTP servers of the tests' and the benchmarks' own on 127.0.0.1: a
folder's files, and a numbered series of pictures."""

import functools
import http.server
import threading


def loopback_server(handler):
    """A threaded HTTP server of the test's own on 127.0.0.1, quiet about
    clients that go away early; returns it and its base URL."""
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    server.handle_error = lambda *args: None
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server, "http://127.0.0.1:%d/" % server.server_address[1]


class FolderHandler(http.server.SimpleHTTPRequestHandler):
    """The files of the folder given as `directory`, quietly. Nagle's
    algorithm is off: with it on, delayed ACKs cost each request about
    40 ms, which measures the server, not the client."""
    disable_nagle_algorithm = True

    def log_message(self, *args):
        pass


def serve_folder(folder, handler=FolderHandler):
    """A loopback_server() giving the files of folder through handler (a
    FolderHandler); returns it and its base URL."""
    return loopback_server(functools.partial(handler, directory=folder))


class SeriesHandler(http.server.BaseHTTPRequestHandler):
    """A numbered series of pictures: HEAD and GET alike, each answer's
    status from the handler's status_of(), a picture's body with a GET only."""
    protocol_version = "HTTP/1.1"
    disable_nagle_algorithm = True
    # A picture's size in bytes; 0: its path ten times.
    body_size = 0

    def status_of(self):
        """The status of the answer to this request (self.command, self.path)."""
        raise NotImplementedError

    def answer(self):
        status = self.status_of()
        data = b"x" * self.body_size if self.body_size else self.path.encode() * 10
        self.send_response(status)
        self.send_header("Content-Type", "image/jpeg")
        self.send_header("Content-Length", str(len(data)))
        self.end_headers()
        if self.command == "GET":
            try:
                self.wfile.write(data)
            except OSError:  # a client that read the headers only
                pass

    do_GET = do_HEAD = answer

    def log_message(self, *args):
        pass
