#!/usr/bin/python3
"""What a screen reader meets in the real program, read through the accessibility bus.

Starts build/bin/tabulon on a private Xvfb display (no window manager) with a private
session bus (dbus-run-session) and its accessibility bus, a school and a home-mode
settings file in a temporary folder, and the tests' SMTP server on 127.0.0.1. Then it
walks the program with the accessibility actions alone, as a screen reader does, dumps
the tree at the welcome panel, the teacher list, the class editor, an open question,
the preview and the delivery window into --out, and checks:

  - every focusable object that shows has a name;
  - roles: the program's window is a frame named with the program's title, the
    editor's tabs are page tabs (the current one selected, none disabled), the combo
    box is named by its label, the pictures holding the steps' instructions are read,
    the preview is a document whose text can be read;
  - the message dialog's buttons are focusable and one of them has the focus;
  - the mail way's action answers within 2 s, and the mail arrives.

Exit 0 when all hold, 1 with the reasons otherwise, 77 (skipped) with one line when
the bus cannot be started on this machine.
"""

import argparse
import os
import subprocess
import sys
import tempfile
import time

SKIP = 77


def parse_args():
    p = argparse.ArgumentParser()
    p.add_argument("--program", required=True)
    p.add_argument("--admin", required=True)
    p.add_argument("--school", required=True, help="folder with the three school data files")
    p.add_argument("--smtp-server", required=True)
    p.add_argument("--out", required=True, help="folder for the tree dumps")
    p.add_argument("--inside", action="store_true", help="already on the private session bus")
    return p.parse_args()


def skip(reason):
    print("SKIP: the accessibility bus cannot start here (%s)" % reason, flush=True)
    sys.exit(SKIP)


def outer(args):
    """Runs this script again on a private session bus; skips when there is none."""
    runner = "/usr/bin/dbus-run-session"
    if not os.access(runner, os.X_OK):
        skip("no dbus-run-session")
    env = dict(os.environ)
    env.pop("DBUS_SESSION_BUS_ADDRESS", None)
    env.pop("AT_SPI_BUS_ADDRESS", None)
    try:
        status = subprocess.run([runner, "--", sys.executable, os.path.abspath(__file__)] + sys.argv[1:] + ["--inside"],
                                env=env, timeout=240).returncode
    except subprocess.TimeoutExpired:
        print("FAIL: the accessibility check did not end within 240 s", flush=True)
        return 1
    return status


# ---------------------------------------------------------------------------- bus


def start_accessibility_bus():
    """Asks the session bus for the accessibility bus and turns accessibility on."""
    def send(*words):
        return subprocess.run(["dbus-send", "--session", "--print-reply"] + list(words),
                              stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=20)
    got = send("--dest=org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus.GetAddress")
    if got.returncode != 0 or b"unix:" not in got.stdout:
        skip(got.stderr.decode(errors="replace").strip().splitlines()[-1:] or "no address")
    send("--dest=org.a11y.Bus", "/org/a11y/bus", "org.freedesktop.DBus.Properties.Set",
         "string:org.a11y.Status", "string:IsEnabled", "variant:boolean:true")


def start_xvfb():
    read, write = os.pipe()
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", "1280x1024x24",
                             "-nolisten", "tcp"], pass_fds=(write,),
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write)
    number = b""
    deadline = time.time() + 20
    while not number.endswith(b"\n") and time.time() < deadline:
        chunk = os.read(read, 16)
        if not chunk:
            break
        number += chunk
    os.close(read)
    if not number.strip():
        xvfb.kill()
        raise RuntimeError("Xvfb did not start")
    return xvfb, ":" + number.decode().strip()


# ---------------------------------------------------------------------------- school


def install(root, admin, school, smtp_port):
    """A private installation: data folder, school files, home-mode settings."""
    data_home = os.path.join(root, "dane")
    program_data = os.path.join(data_home, "Orvix", "Tabulon")
    files = os.path.join(program_data, "Files")
    os.makedirs(files)
    os.makedirs(os.path.join(program_data, "Temp"))
    for name in ("nauczyciele.kbs", "przedmioty.kps", "uczniowie.kls"):
        subprocess.run([admin, "encode-data", os.path.join(school, name), "-o", os.path.join(files, name)],
                       check=True, timeout=30)
    subprocess.run([admin, "verinfo", "--dates", "01.09.2026", "01.09.2026", "01.09.2026", "--version",
                    "2.1.1", "-o", os.path.join(files, "verinfo.inf")], check=True, timeout=30)
    password = os.path.join(root, "haslo.txt")
    with open(password, "w") as f:
        f.write("tajne\n")
    subprocess.run([admin, "settings", "--mode", "lokalny", "--network-folder", "",
                    "--update-source", "http://127.0.0.1:9", "--smtp-port", str(smtp_port),
                    "--smtp-host", "127.0.0.1", "--sender", "nauczyciel@szkola.test",
                    "--password-file", password, "--school", "sekretariat@szkola.test",
                    "--allow-plain-login", "-o", os.path.join(program_data, "Tabulon.ini")],
                   check=True, timeout=30)
    return data_home


def start_smtp(script, folder):
    server = subprocess.Popen([sys.executable, script, "--folder", folder, "--lifetime", "200"],
                              stdin=subprocess.PIPE, stdout=subprocess.PIPE)
    line = server.stdout.readline().decode()
    if not line.startswith("PORT "):
        server.kill()
        raise RuntimeError("the SMTP server did not start")
    return server, int(line.split()[1])


# ---------------------------------------------------------------------------- tree


class Check:
    def __init__(self):
        self.failures = []

    def that(self, condition, what):
        if not condition:
            self.failures.append(what)
            print("FAIL: " + what, flush=True)
        return condition


def wait_for(what, probe, seconds=15.0):
    deadline = time.time() + seconds
    while time.time() < deadline:
        found = probe()
        if found:
            return found
        time.sleep(0.1)
    raise RuntimeError("gave up waiting for " + what)


def children(node):
    try:
        return [node.getChildAtIndex(i) for i in range(node.childCount)]
    except Exception:
        return []


def walk(node, depth=0):
    if node is None:
        return
    yield node, depth
    for child in children(node):
        yield from walk(child, depth + 1)


def states(node):
    import pyatspi
    names = []
    try:
        set_ = node.getState()
    except Exception:
        return names
    for state in (pyatspi.STATE_FOCUSABLE, pyatspi.STATE_FOCUSED, pyatspi.STATE_SHOWING,
                  pyatspi.STATE_ENABLED, pyatspi.STATE_SELECTED, pyatspi.STATE_CHECKED,
                  pyatspi.STATE_ACTIVE, pyatspi.STATE_MODAL):
        if set_.contains(state):
            names.append(str(state).replace("STATE_", "").lower())
    return names


def showing(node):
    import pyatspi
    try:
        return node.getState().contains(pyatspi.STATE_SHOWING)
    except Exception:
        return False


def dump(app, path):
    lines = []
    for node, depth in walk(app):
        try:
            line = "%s%s \"%s\"" % ("  " * depth, node.getRoleName(), node.name)
            description = node.description
        except Exception:
            continue
        if description:
            line += " (%s)" % description
        line += " [" + ",".join(states(node)) + "]"
        lines.append(line)
    with open(path, "w", encoding="utf-8") as f:
        f.write("\n".join(lines) + "\n")
    return lines


def find(app, role=None, name=None, only_showing=True):
    for node, _ in walk(app):
        try:
            if role is not None and node.getRoleName() != role:
                continue
            if name is not None and node.name != name:
                continue
        except Exception:
            continue
        if only_showing and not showing(node):
            continue
        return node
    return None


def find_all(app, role, only_showing=True):
    found = []
    for node, _ in walk(app):
        try:
            if node.getRoleName() == role and (not only_showing or showing(node)):
                found.append(node)
        except Exception:
            continue
    return found


def act(node, seconds_allowed=None):
    """Runs the node's first action; returns how long the call took to answer."""
    action = node.queryAction()
    start = time.monotonic()
    action.doAction(0)
    return time.monotonic() - start


def unnamed_focusable(app):
    import pyatspi
    found = []
    for node, _ in walk(app):
        try:
            st = node.getState()
            if st.contains(pyatspi.STATE_FOCUSABLE) and st.contains(pyatspi.STATE_SHOWING) and \
                    not node.name.strip():
                found.append("%s in %s" % (node.getRoleName(), node.parent.name if node.parent else "?"))
        except Exception:
            continue
    return found


def check_common(check, app, place):
    check.that(not unnamed_focusable(app), "%s: focusable objects without a name: %s" %
               (place, ", ".join(unnamed_focusable(app))))


# ---------------------------------------------------------------------------- the walk


def inside(args):
    start_accessibility_bus()
    import pyatspi
    pyatspi.setTimeout(8000, 15000)  # a call that hangs fails rather than waits

    os.makedirs(args.out, exist_ok=True)
    check = Check()
    root = tempfile.mkdtemp(prefix="tabulon-atspi-")
    mail = os.path.join(root, "poczta")
    os.makedirs(mail)
    smtp, port = start_smtp(args.smtp_server, mail)
    xvfb, display = start_xvfb()
    program = None
    try:
        data_home = install(root, args.admin, args.school, port)
        env = dict(os.environ)
        env.update({
            "DISPLAY": display,
            "XDG_DATA_HOME": data_home,
            "QT_QPA_PLATFORM": "xcb",
            "QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1",
            "ASAN_OPTIONS": "detect_leaks=0",
        })
        env.pop("WAYLAND_DISPLAY", None)
        program = subprocess.Popen([args.program], env=env)

        def application():
            desktop = pyatspi.Registry.getDesktop(0)
            for app in children(desktop):
                try:
                    if app is not None and app.name in ("Tabulon", os.path.basename(args.program)):
                        return app
                except Exception:
                    continue
            return None
        app = wait_for("the program on the accessibility bus", application, 30)

        # Welcome panel: the window is a frame named with the program's title.
        welcome = wait_for("the welcome panel", lambda: find(app, "push button", "Chcę przygotować nowy dokument"))
        dump(app, os.path.join(args.out, "1-powitanie.txt"))
        frame = find(app, "frame")
        check.that(frame is not None and frame.name == "Tabulon",
                   "the main window is a frame named \"Tabulon\" (got %r)" %
                   ((frame.getRoleName(), frame.name) if frame else None,))
        check.that(find(app, name="Witaj w programie Tabulon") is not None,
                   "the welcome heading is in the tree")
        check_common(check, app, "welcome panel")

        # Teacher list.
        act(welcome)
        teachers = wait_for("the teacher list", lambda: find(app, "list", "Lista nauczycieli"))
        dump(app, os.path.join(args.out, "2-nauczyciele.txt"))
        check.that(find(app, name="1. Wybierz swoje nazwisko") is not None,
                   "the teacher step's instruction is in the tree")
        check.that(find(app, name="Krok 1 z 5") is not None, "the step marker is named")
        check_common(check, app, "teacher list")

        # Forward twice: the topic list, then the class editor (first teacher, first topic).
        act(find(app, "push button", "Dalej"))
        wait_for("the topic list", lambda: find(app, "list", "Lista zagadnień"))
        act(find(app, "push button", "Dalej"))
        combo = wait_for("the class editor", lambda: find(app, "combo box", "Klasa"))
        tabs = find_all(app, "page tab")
        dump(app, os.path.join(args.out, "3-werdykon.txt"))
        check.that(len(tabs) == 4, "the class editor has four page tabs (got %d)" % len(tabs))
        selected = [t.name for t in tabs if "selected" in states(t)]
        check.that(selected == ["Ogólne"], "the current tab, Ogólne, alone is selected (got %s)" % selected)
        check.that(all("enabled" in states(t) for t in tabs), "no page tab is disabled")
        check.that(find(app, "page tab list") is not None, "the tabs stand in a page tab list")
        check.that("focused" in states(combo), "the class editor opens on its first field, the class")
        check.that(find(app, name="Klasyfikowanych:") is not None, "the field labels are in the tree")
        check_common(check, app, "class editor")

        # A question: the teacher changes the number promoted, then closes the program.
        promoted = find(app, "text", "Promowanych")
        promoted.queryEditableText().setTextContents("1")
        took = act(find(app, "push button", "Zamknij program"))
        check.that(took < 2.0, "the close action answers before its question is answered (%.1f s)" % took)
        question = wait_for("the question", lambda: find(app, "push button", "Wróć do pracy"))
        dump(app, os.path.join(args.out, "4-pytanie.txt"))
        answers = [b for b in find_all(app, "push button")
                   if b.name in ("Zamknij program", "Wróć do pracy") and "focusable" in states(b)]
        # The main window's close mark is named "Zamknij program" too.
        check.that(sorted({b.name for b in answers}) == ["Wróć do pracy", "Zamknij program"]
                   and len(answers) >= 2, "the question's answers are focusable buttons")
        focused = [b.name for b in answers if "focused" in states(b)]
        check.that(focused == ["Wróć do pracy"], "the question opens with Wróć do pracy focused (got %s)" % focused)
        check_common(check, app, "question")
        act(question)
        wait_for("the question to close", lambda: find(app, "push button", "Wróć do pracy") is None)

        # Preview and delivery.
        act(find(app, "push button", "Dalej"))
        wait_for("the preview", lambda: find(app, "push button", "Kopiuj sprawozdanie"))
        dump(app, os.path.join(args.out, "5-podglad.txt"))
        # The step's heading carries the same name; the preview is the one that takes the focus.
        preview = next((node for node, _ in walk(app) if node.name == "Podgląd sprawozdania" and
                        "focusable" in states(node)), None)
        role = preview.getRoleName() if preview is not None else None
        check.that(role == "document frame", "the preview is read as a document (got %r)" % role)
        try:
            text = preview.queryText()
            read = text.getText(0, min(text.characterCount, 4000))
        except Exception:
            read = ""
        check.that("Klasa" in read or "klas" in read, "the preview's text is readable (%d characters)" % len(read))
        check_common(check, app, "preview")
        act(find(app, "push button", "Dalej"))
        mail_way = wait_for("the delivery window",
                            lambda: find(app, "push button", "Chcę wysłać dokument przez internet"))
        dump(app, os.path.join(args.out, "6-wysylka.txt"))
        network = find(app, "push button", "Chcę przesłać dokument przez sieć szkolną")
        check.that(network is not None and "enabled" not in states(network) and network.description,
                   "the network way is shown disabled with its reason in home mode")
        check.that(find(app, name="Wybierz, jak chcesz dostarczyć sprawozdanie do szkoły:") is not None,
                   "the delivery step's instruction is in the tree")
        check_common(check, app, "delivery window")

        took = act(mail_way)
        check.that(took < 2.0, "the mail way's action answers within 2 s (%.1f s)" % took)
        close = wait_for("the message after sending", lambda: find(app, "push button", "Zamknij"), 30)
        sent = [n for n in os.listdir(mail) if n.endswith(".eml")]
        check.that(len(sent) == 1, "one mail arrived (%d)" % len(sent))
        act(close)
        wait_for("the message to close", lambda: find(app, "push button", "Zamknij") is None)
        mail_way = find(app, "push button", "Chcę wysłać dokument przez internet")
        check.that(mail_way is not None and "focused" in states(mail_way),
                   "after the message the focus is back on the mail way")
    except Exception as error:  # a step that could not be reached is a failure
        check.that(False, "the walk stopped: %s" % error)
    finally:
        if program is not None:
            program.kill()
            program.wait(10)
        xvfb.kill()
        xvfb.wait(10)
        smtp.stdin.close()
        smtp.wait(10)
    if check.failures:
        print("%d check(s) failed; trees in %s" % (len(check.failures), args.out), flush=True)
        return 1
    print("all accessibility checks passed; trees in %s" % args.out, flush=True)
    return 0


def main():
    args = parse_args()
    if not args.inside:
        return outer(args)
    return inside(args)


if __name__ == "__main__":
    sys.exit(main())
