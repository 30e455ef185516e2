"""A loopback HTTP server of PAC scripts for the waypost tests: serve(scripts) answers each path
of `scripts` with its text (404 for others), after `delay` seconds, counting the fetches of each
path in `fetches`; it returns the "pac+http://127.0.0.1:port" prefix libproxy takes."""
import http.server
import threading
import time


def serve(scripts: dict, delay: float = 0, fetches: dict = None) -> str:
    class PacServer(http.server.BaseHTTPRequestHandler):
        def do_GET(self):
            if fetches is not None:
                fetches[self.path] = fetches.get(self.path, 0) + 1
            time.sleep(delay)
            script = scripts.get(self.path)
            if script is None:
                self.send_error(404)
                return
            body = script.encode()
            self.send_response(200)
            self.send_header("Content-Type", "application/x-ns-proxy-autoconfig")
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            self.wfile.write(body)

        def log_message(self, *args):
            pass

    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), PacServer)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return f"pac+http://127.0.0.1:{server.server_address[1]}"
