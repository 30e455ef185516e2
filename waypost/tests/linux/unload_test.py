"""libwaypost.so unloaded after a query that ran out of time against a PAC server that answers
late: the library must stay mapped until the query's thread is done, or that thread wakes in
unmapped code and the process dies."""
import os
import subprocess
import sys

import pac_server

CHECK, LIBRARY = sys.argv[1], sys.argv[2]
ANSWER_AFTER = 8  # seconds: past the query's 5 s bound, before the check's wait ends


SLOW = pac_server.serve({"/slow.pac": 'function FindProxyForURL(url, host) { return "PROXY late:1"; }'},
                        delay=ANSWER_AFTER)
env = {"PATH": os.environ.get("PATH", ""), "http_proxy": SLOW + "/slow.pac"}
ended = subprocess.run([CHECK, LIBRARY, "detectProxy", "http://www.example.com/", "8"], env=env,
                       capture_output=True, text=True, timeout=60)
print(ended.stdout + ended.stderr, end="")
print(("ok  " if ended.returncode == 0 else "FAIL") + f" unloaded after a late PAC answer: exit {ended.returncode}")
sys.exit(0 if ended.returncode == 0 else 1)
