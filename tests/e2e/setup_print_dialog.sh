#!/bin/bash
# The print dialog's terminal form, driven through a pseudo-terminal: what the user types
# decides what reaches CreateDCA (and for which printer), or that nothing prints at all.
set -euo pipefail
export PYTHONPATH="$PELLMARK_SOURCE_DIR/tests/e2e/lib${PYTHONPATH:+:$PYTHONPATH}"
exec python3 - <<'PY'
import json, os, pty, select, shutil, sys, tempfile, time
from setup_run import PELLMARK, fields

PROFILE = """[windows]
device=Testpdf,pdf,{dir}/out
[devices]
Testpdf=pdf,{dir}/out
Other=ps,{dir}/out
"""
PROMPT = b"changes a setting: "


def run_on_terminal(args, typed):
    """Runs pellmark on a pseudo-terminal; once the form's first prompt shows, types `typed`
    (None: closes the input with Ctrl-D). Returns (status, screen, trace, folder)."""
    folder = tempfile.mkdtemp(prefix="pm-dialog-")
    os.makedirs(os.path.join(folder, "out"))
    with open(os.path.join(folder, "r1.txt"), "w") as f:
        f.write("a report line\n")
    with open(os.path.join(folder, "win.ini"), "w") as f:
        f.write(PROFILE.replace("{dir}", folder))
    env = {k: v for k, v in os.environ.items() if k not in ("PELLMARK_FAULTS", "PELLMARK_PLATFORM_ID")}
    env.update(PELLMARK_PROFILE=os.path.join(folder, "win.ini"),
               PELLMARK_TRACE=os.path.join(folder, "trace.jsonl"),
               CUPS_SERVER=os.path.join(folder, "no-cups.sock"), TERM="dumb")
    pid, master = pty.fork()
    if pid == 0:
        os.chdir(folder)
        os.execve(PELLMARK, [PELLMARK] + args, env)
    screen, sent, deadline = b"", False, time.time() + 60
    while time.time() < deadline:
        ready, _, _ = select.select([master], [], [], 0.5)
        if ready:
            try:
                chunk = os.read(master, 4096)
            except OSError:
                break
            if not chunk:
                break
            screen += chunk
        if not sent and PROMPT in screen:
            os.write(master, typed.encode() if typed is not None else b"\x04")
            sent = True
    else:
        os.kill(pid, 9)
    _, status = os.waitpid(pid, 0)
    os.close(master)
    trace = []
    path = os.path.join(folder, "trace.jsonl")
    if os.path.exists(path):
        trace = [json.loads(l) for l in open(path, encoding="utf-8") if l.strip()]
    return os.waitstatus_to_exitcode(status), screen.decode("latin-1"), trace, folder


def created(trace):
    return [(c.get("device"), c.get("devmode")) for c in trace if c["fn"] == "CreateDCA"]


def dialog_results(trace):
    return [c.get("ret") for c in trace if c["fn"] == "PrintDlgA"]


ORIENT = fields("ORIENTATION")
# note, arguments, what the user types, checks on (status, screen, trace, folder)
ROWS = [
    ("Enter accepts the job's device mode as it is", ["-interactive", "-copies=2", "r1.txt"],
     "\n", lambda s, scr, t, d: [
         ("dialog result", [1], dialog_results(t)),
         ("devmode copies and fields", [("Testpdf", 2, fields("ORIENTATION", "COPIES"))],
          [(dev, dm["copies"], dm["fields"]) for dev, dm in created(t)]),
         ("form shows the copies", True, "Copies       2" in scr),
         ("r1.pdf written", True, os.path.exists(d + "/out/r1.pdf"))]),
    ("c cancels: no device context, nothing printed", ["-interactive", "r1.txt"], "c\n",
     lambda s, scr, t, d: [
         ("exit status", 0, s), ("dialog result", [0], dialog_results(t)),
         ("CreateDCA calls", [], created(t)),
         ("r1.pdf written", False, os.path.exists(d + "/out/r1.pdf"))]),
    ("the end of input cancels", ["-interactive", "r1.txt"], None,
     lambda s, scr, t, d: [("dialog result", [0], dialog_results(t)), ("CreateDCA calls", [], created(t))]),
    ("copies changed in the form reach the device mode", ["-interactive", "r1.txt"], "2\n5\n\n",
     lambda s, scr, t, d: [("devmode copies and fields", [(5, fields("ORIENTATION", "COPIES"))],
                            [(dm["copies"], dm["fields"]) for _, dm in created(t)])]),
    ("orientation toggled and paper chosen by name", ["-interactive", "r1.txt"], "3\n4\na5\n\n",
     lambda s, scr, t, d: [("orientation, paper, fields",
                            [(2, 11, fields("ORIENTATION", "PAPERSIZE"))],
                            [(dm["orientation"], dm["paperSize"], dm["fields"]) for _, dm in created(t)])]),
    ("collate toggled on", ["-interactive", "r1.txt"], "5\n\n",
     lambda s, scr, t, d: [("collate", [1], [dm["collate"] for _, dm in created(t)])]),
    ("another printer chosen: the DC is made for it, with its own device mode and the "
     "form's settings", ["-interactive", "-copies=3", "r1.txt"], "1\nOther\n\n",
     lambda s, scr, t, d: [
         ("CreateDCA device and devmode device", [("Other", "Other", 3)],
          [(dev, dm["deviceName"], dm["copies"]) for dev, dm in created(t)]),
         ("r1.ps written", True, os.path.exists(d + "/out/r1.ps")),
         ("r1.pdf written", False, os.path.exists(d + "/out/r1.pdf"))]),
    ("an unknown printer name is refused and the printer stays", ["-interactive", "r1.txt"],
     "1\nNowhere\n\n",
     lambda s, scr, t, d: [("CreateDCA device", ["Testpdf"], [dev for dev, _ in created(t)]),
                           ("refusal shown", True, "No printer of that name" in scr)]),
]

failed = 0
for number, (note, args, typed, checks) in enumerate(ROWS, 1):
    status, screen, trace, folder = run_on_terminal(args, typed)
    results = [("exit status", 0, status)] + checks(status, screen, trace, folder)
    problems = ["%s: expected %r, got %r" % (label, want, got)
                for label, want, got in results if want != got]
    if problems:
        failed += 1
        print("FAIL row %d: %s\n  row: args=%r typed=%r" % (number, note, args, typed))
        for p in problems:
            print("  " + p)
        print("  folder: %s\n  screen: %r" % (folder, screen[-600:]))
    else:
        print("ok   row %d: %s" % (number, note))
        shutil.rmtree(folder, ignore_errors=True)
print("%d of %d rows failed" % (failed, len(ROWS)))
sys.exit(1 if failed else 0)
PY
