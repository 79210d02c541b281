"""What the tests' and the benchmarks' own servers on 127.0.0.1 serve for a
numbered series of pictures: HEAD and GET alike, each answer's status from
the handler's status_of(), a picture's body with a GET only."""

import http.server


class SeriesHandler(http.server.BaseHTTPRequestHandler):
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
