"""Starting and stopping a test server that runs in the background.

A server script has three actions: `serve` runs in the foreground, `start`
runs `serve` as a detached process and returns once the server has written
its ready file (its port or ports), `stop` ends the process named in the pid
file. Every file lives in the server's folder, so each build tree has its own
server. The pid is checked against the script's name before it is signalled:
after a reboot the number may belong to another process.
"""

import os
import signal
import subprocess
import sys
import time


def runs_script(pid, script_name):
    try:
        with open(f"/proc/{pid}/cmdline", "rb") as f:
            return script_name.encode() in f.read()
    except OSError:
        return False


def stop(directory, script, ready_file):
    """Ends the server of `directory` if it runs, and removes its ready and pid files."""
    try:
        with open(os.path.join(directory, "pid")) as f:
            pid = int(f.read().strip())
    except (OSError, ValueError):
        pid = None
    for name in (ready_file, "pid"):
        try:
            os.remove(os.path.join(directory, name))
        except OSError:
            pass
    script_name = os.path.basename(script)
    if pid is None or not runs_script(pid, script_name):
        return
    os.kill(pid, signal.SIGTERM)
    for _ in range(50):
        if not runs_script(pid, script_name):
            return
        time.sleep(0.1)
    os.kill(pid, signal.SIGKILL)


def start(directory, script, ready_file, serve_args, name, announce):
    """Runs `script serve directory serve_args...` detached; 0 once it is ready, 1 if it is not within 10 s.

    Once ready, prints `name: ` and what announce(text of the ready file) says."""
    stop(directory, script, ready_file)  # one left over from an interrupted run
    args = [sys.executable, "-B", os.path.abspath(script), "serve", directory] + list(serve_args)
    with open(os.path.join(directory, "server.log"), "ab") as log:
        subprocess.Popen(args, stdin=subprocess.DEVNULL, stdout=log, stderr=subprocess.STDOUT,
                         start_new_session=True)
    ready_path = os.path.join(directory, ready_file)
    for _ in range(100):
        if os.path.exists(ready_path):
            with open(ready_path) as f:
                print(f"{name}: {announce(f.read())}")
            return 0
        time.sleep(0.1)
    print(f"{name}: did not start; see {directory}/server.log", file=sys.stderr)
    return 1
