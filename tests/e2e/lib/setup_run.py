"""Runs the pellmark binary for the printer set-up tests and collects what it left behind:
exit status, stderr, the platform call trace (one JSON object per line) and the debug log."""

import json
import os
import subprocess
import tempfile

PELLMARK = os.environ["PELLMARK"]

# DEVMODE dmFields bits by the names the tests use.
BITS = {
    "ORIENTATION": 0x1, "PAPERSIZE": 0x2, "PAPERLENGTH": 0x4, "PAPERWIDTH": 0x8,
    "COPIES": 0x100, "DEFAULTSOURCE": 0x200, "COLLATE": 0x8000, "FORMNAME": 0x10000,
}


def fields(*names):
    """The dmFields value with exactly these bits set."""
    value = 0
    for name in names:
        value |= BITS[name]
    return value


def field_names(value):
    return "+".join(n for n, b in BITS.items() if value & b) or "none"


class Run:
    """One finished run: status, stderr, trace (list of dicts), log text, folder."""

    def __init__(self, folder, status, stderr, trace, log):
        self.folder, self.status, self.stderr, self.trace, self.log = (
            folder, status, stderr, trace, log)

    def calls(self, fn):
        return [c for c in self.trace if c.get("fn") == fn]

    def path(self, name):
        return os.path.join(self.folder, name)

    def exists(self, name):
        return os.path.exists(self.path(name))


def run(args, profile, faults=None, platform=None, reports=("r1.txt", "r2.txt"),
        stdin=subprocess.DEVNULL, timeout=120):
    """Runs pellmark in a fresh folder holding the reports and `profile` (text in which
    {dir} stands for the folder). Arguments are passed as given, in that folder."""
    folder = tempfile.mkdtemp(prefix="pm-setup-")
    os.makedirs(os.path.join(folder, "out"))
    for name in reports:
        with open(os.path.join(folder, name), "w") as f:
            f.write("first line of %s\nsecond line\n" % name)
    with open(os.path.join(folder, "win.ini"), "w") as f:
        f.write(profile.replace("{dir}", folder))
    env = dict(os.environ)
    for key in ("PELLMARK_FAULTS", "PELLMARK_PLATFORM_ID", "CUPS_SERVER"):
        env.pop(key, None)
    env.update({
        "PELLMARK_PROFILE": os.path.join(folder, "win.ini"),
        "PELLMARK_TRACE": os.path.join(folder, "trace.jsonl"),
        "PELLMARK_DEBUG": os.path.join(folder, "debug.log"),
        # No scheduler: only the profile's and the built-in printers exist.
        "CUPS_SERVER": os.path.join(folder, "no-cups.sock"),
    })
    if faults:
        env["PELLMARK_FAULTS"] = faults
    if platform is not None:
        env["PELLMARK_PLATFORM_ID"] = str(platform)
    done = subprocess.run([PELLMARK] + [a.replace("{dir}", folder) for a in args], cwd=folder,
                          env=env, stdin=stdin, stdout=subprocess.DEVNULL,
                          stderr=subprocess.PIPE, timeout=timeout)
    trace = []
    trace_path = os.path.join(folder, "trace.jsonl")
    if os.path.exists(trace_path):
        with open(trace_path, encoding="utf-8") as f:
            trace = [json.loads(line) for line in f if line.strip()]
    log = ""
    log_path = os.path.join(folder, "debug.log")
    if os.path.exists(log_path):
        with open(log_path, encoding="latin-1") as f:
            log = f.read()
    return Run(folder, done.returncode, done.stderr.decode("latin-1"), trace, log)
