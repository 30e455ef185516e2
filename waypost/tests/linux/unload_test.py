"""libwaypost.so unloaded after a query that ran out of time against a PAC server that answers
late: the library must stay mapped until the query's thread is done, or that thread wakes in
unmapped code and the process dies."""
import http.server
import os
import subprocess
import sys
import threading
import time

CHECK, LIBRARY = sys.argv[1], sys.argv[2]
ANSWER_AFTER = 8  # seconds: past the query's 5 s bound, before the check's wait ends


class SlowPac(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        time.sleep(ANSWER_AFTER)
        body = b'function FindProxyForURL(url, host) { return "PROXY late:1"; }'
        self.send_response(200)
        self.send_header("Content-Type", "application/x-ns-proxy-autoconfig")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def log_message(self, *args):
        pass


server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), SlowPac)
threading.Thread(target=server.serve_forever, daemon=True).start()
env = {"PATH": os.environ.get("PATH", ""), "http_proxy": f"pac+http://127.0.0.1:{server.server_address[1]}/slow.pac"}
ended = subprocess.run([CHECK, LIBRARY, "detectProxy", "http://www.example.com/", "8"], env=env,
                       capture_output=True, text=True, timeout=60)
server.shutdown()
print(ended.stdout + ended.stderr, end="")
print(("ok  " if ended.returncode == 0 else "FAIL") + f" unloaded after a late PAC answer: exit {ended.returncode}")
sys.exit(0 if ended.returncode == 0 else 1)
