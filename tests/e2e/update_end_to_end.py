#!/usr/bin/python3
"""One update as a user meets it, under Wine on the test display.

Installs version 1.1 with the setup program into a scratch Program Files folder, lets
the setup program start it, then uses Help > Check for Updates against a local HTTP
server: first with updates that must fail (the archive is missing, the archive holds no
setup program, the archive has an entry that climbs out of its folder), then with the
1.2 update, whose setup program is clicked through and ends with "Run program". Checks
that 1.2 is installed and registered, that it was started with the hand-back command
line and that it removed the update folder.
"""
import argparse
import http.server
import io
import os
import re
import shutil
import struct
import subprocess
import sys
import threading
import time
import zipfile

MENU_FOLDER = "Quorlix Update Test"
CAPTION = "Quorlix Zeva - Version %s"
UPDATE_CAPTION = "Quorlix Zeva Update"
UPDATE_ERROR = ("There was a problem checking for or installing the update.  "
                "The program could not be updated")
DOWNLOAD_FAILED = ".  Please check your internet connection and try again."
SETUP_NOT_STARTED = ".  The setup program of the update could not be started."
DOWNLOADED = ("Updated version of Quorlix Zeva has been downloaded.  "
              "Please click OK to restart the program and complete the update.")
QUESTION = "Quorlix Zeva 1.2 is ready.  Install it now?"
QUESTION_CAPTION = "Update available"
IDOK, IDYES = 1, 6
UNINSTALL_RECORD = 260


class Failure(Exception):
    pass


def check(condition, what):
    if not condition:
        raise Failure(what)


class UpdateServer:
    """Serves the version file at /versions/quorlixlite.dat and archives at /dl/NAME."""

    def __init__(self, port):
        self.version_file = b""
        self.files = {}
        self.requests = []
        self.agents = []
        server = self

        class Handler(http.server.BaseHTTPRequestHandler):
            protocol_version = "HTTP/1.1"

            def log_message(self, *args):
                pass

            def do_GET(self):
                server.requests.append(self.path)
                server.agents.append(self.headers.get("User-Agent"))
                body = None
                if self.path == "/versions/quorlixlite.dat":
                    body = server.version_file
                elif self.path.startswith("/dl/"):
                    body = server.files.get(self.path[4:])
                status = 200 if body is not None else 404
                body = body if body is not None else b"not here"
                self.send_response(status)
                self.send_header("Content-Type", "application/octet-stream")
                self.send_header("Content-Length", str(len(body)))
                self.end_headers()
                self.wfile.write(body)

        http.server.ThreadingHTTPServer.allow_reuse_address = True
        try:
            self.httpd = http.server.ThreadingHTTPServer(("127.0.0.1", port), Handler)
        except OSError as e:
            raise Failure("port %d of the test builds is taken (%s); configure another "
                          "with -DQZ_E2E_PORT=<port>" % (port, e))
        self.thread = threading.Thread(target=self.httpd.serve_forever, daemon=True)
        self.thread.start()

    def stop(self):
        self.httpd.shutdown()
        self.httpd.server_close()


class Run:
    def __init__(self, args):
        self.args = args
        self.temp = None

    def driver(self, *words, timeout=60):
        p = subprocess.run([self.args.wine, self.args.driver, *words], capture_output=True,
                           timeout=timeout)
        lines = p.stdout.decode("utf-8", "replace").replace("\r", "").splitlines()
        if p.returncode != 0:
            raise Failure("driver %s: %s %s" % (" ".join(words),
                                                p.stderr.decode(errors="replace").strip(), lines))
        return lines

    def box(self, button, version):
        """Answers a message box of the program of this version: (caption, text)."""
        caption, text = (self.driver("box", str(button), CAPTION % version) + ["", ""])[:2]
        return caption, text

    def boxes_until_quiet(self, button, version, quiet_ms=3000):
        """Answers every box that shows until none comes for quiet_ms."""
        seen = []
        while True:
            p = subprocess.run([self.args.wine, self.args.driver, "nobox", str(quiet_ms),
                                CAPTION % version], capture_output=True, timeout=60)
            if p.returncode == 0:
                return seen
            seen.append(self.box(button, version))

    def unix(self, windows_path):
        out = subprocess.run([self.args.wine, "winepath", "-u", windows_path], capture_output=True, timeout=60)
        return out.stdout.decode().strip()

    def check_for_updates(self, version):
        wid = subprocess.run(["xdotool", "search", "--sync", "--limit", "1", "--name",
                              "^%s$" % re.escape(CAPTION % version)],
                             capture_output=True, timeout=30).stdout.decode().split()
        check(wid, "no X window for the main window")
        subprocess.run(["xdotool", "windowfocus", "--sync", wid[0]], check=True, timeout=30)
        # F10 selects File on the menu bar, Right moves to Help, Down opens it on its first
        # item, Down moves to Check for Updates.
        subprocess.run(["xdotool", "key", "--delay", "150", "F10", "Right", "Down", "Down",
                        "Return"], check=True, timeout=30)

    def update_folders(self):
        return set(d for d in os.listdir(self.temp) if re.fullmatch(r"vq10\d+tmp", d))


def say(text):
    print(text, flush=True)


def winpath(unix_path):
    return "Z:" + unix_path.replace("/", "\\")


def zip_bytes(entries):
    out = io.BytesIO()
    with zipfile.ZipFile(out, "w") as z:
        for name, data in entries:
            z.writestr(name, data)
    return out.getvalue()


def uninstall_records(path):
    data = open(path, "rb").read()
    check(len(data) % UNINSTALL_RECORD == 0, "uninstall.dat holds %d bytes" % len(data))
    records = []
    for i in range(0, len(data), UNINSTALL_RECORD):
        kind, length = struct.unpack_from("<iB", data, i)
        records.append((kind, data[i + 5:i + 5 + length].decode("cp1252")))
    return records


def wait_until(predicate, seconds):
    end = time.time() + seconds
    while time.time() < end:
        if predicate():
            return True
        time.sleep(0.1)
    return predicate()


def main():
    parser = argparse.ArgumentParser()
    for name in ("wine", "dist", "quorlix", "update-zip", "driver", "scratch"):
        parser.add_argument("--" + name, required=True)
    parser.add_argument("--port", type=int, required=True)
    args = parser.parse_args()
    run = Run(args)

    shutil.rmtree(args.scratch, ignore_errors=True)
    subprocess.run([args.wine, args.driver, "forget", MENU_FOLDER], capture_output=True, timeout=60)
    dist = os.path.join(args.scratch, "dist")
    dest_unix = os.path.join(args.scratch, "Program Files", "Quorlix")
    dest = winpath(dest_unix) + "\\"
    os.makedirs(os.path.join(dist, "Files"))
    os.makedirs(os.path.dirname(dest_unix))
    # Version 1.1 as the product ships it, with the main program built for the local server.
    shutil.copy(os.path.join(args.dist, "_setup.exe"), dist)
    for name in os.listdir(os.path.join(args.dist, "Files")):
        path = os.path.join(args.dist, "Files", name)
        if os.path.isfile(path) and name != "Quorlix.exe":
            shutil.copy(path, os.path.join(dist, "Files"))
    shutil.copy(args.quorlix, os.path.join(dist, "Files", "Quorlix.exe"))
    release = zipfile.ZipFile(args.update_zip)
    new_program = release.read("Files/Quorlix.exe")
    payload = sorted(n[len("Files/"):] for n in release.namelist() if n.startswith("Files/"))

    run.driver("forget", MENU_FOLDER)
    run.temp = run.unix(run.driver("temp")[0])
    check(os.path.isdir(run.temp), "no temporary folder at %r" % run.temp)
    server = UpdateServer(args.port)
    base = "http://127.0.0.1:%d" % args.port
    server.files["update.zip"] = open(args.update_zip, "rb").read()
    server.files["nosetup.zip"] = zip_bytes([("Files/Quorlix.exe", new_program)])
    server.files["climbing.zip"] = zip_bytes([("../escaped-e2e.txt", b"out"),
                                              ("..\\escaped-e2e-2.txt", b"out"),
                                              ("Files/readme.txt", b"in")])
    setup = None
    try:
        # First install: the setup program from the distribution, ended with Run program.
        setup = subprocess.Popen([args.wine, os.path.join(dist, "_setup.exe")],
                                 stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        run.driver("wizard", dest, MENU_FOLDER)
        run.driver("window", CAPTION % "1.1")
        line = run.driver("cmdline", CAPTION % "1.1")[0]
        say("1.1 installed and started as %s" % line)
        check(line.endswith(' tq5082tq67 "%s\\_setup.exe"' % winpath(dist)),
              "1.1 started as %r" % line)
        check(open(os.path.join(dest_unix, "Quorlix.exe"), "rb").read() ==
              open(args.quorlix, "rb").read(), "1.1 is not what was installed")
        # The hand-back deletes the distribution's setup program; its payload went at Finish.
        check(wait_until(lambda: not os.path.exists(os.path.join(dist, "_setup.exe")), 10),
              "the first install's setup program stayed")
        check(not os.path.exists(os.path.join(dist, "Files")), "the payload folder stayed")

        def failed_update(archive, expected_boxes):
            server.version_file = ("1.2\r\n0|5|%s/dl/%s|\r\n" % (base, archive)).encode()
            before = run.update_folders()
            run.check_for_updates("1.1")
            # Every failure shows a box: wait for the first as long as the driver waits, so
            # a slow download is not taken for silence, then answer any that follow.
            seen = [run.box(IDOK, "1.1")] + run.boxes_until_quiet(IDOK, "1.1")
            say("%s: %r" % (archive, seen))
            if expected_boxes is not None:
                check(seen == expected_boxes, "%s: boxes %r" % (archive, seen))
            else:
                check(seen, "%s: no box" % archive)
            run.driver("window", CAPTION % "1.1")
            return run.update_folders() - before

        # The archive is not on the server: the download fails, no folder is left.
        left = failed_update("missing.zip", [(UPDATE_CAPTION, UPDATE_ERROR + DOWNLOAD_FAILED)])
        check(not left, "a failed download left %r" % left)
        check("/dl/missing.zip" in server.requests, "the archive was never asked for")
        # The archive holds no setup program: an update error instead of a restart, and
        # nothing of what it unpacked stays behind.
        left = failed_update("nosetup.zip", [(UPDATE_CAPTION, UPDATE_ERROR + SETUP_NOT_STARTED)])
        check(not left, "an update without a setup program left %r" % left)
        # Entries that climb out of the update folder are not written anywhere outside.
        failed_update("climbing.zip", None)
        for name in ("escaped-e2e.txt", "escaped-e2e-2.txt"):
            for above in (run.temp, os.path.dirname(run.temp.rstrip("/"))):
                check(not os.path.exists(os.path.join(above, name)),
                      "%s was written to %s" % (name, above))
        for folder in run.update_folders():
            shutil.rmtree(os.path.join(run.temp, folder), ignore_errors=True)

        # The update: a question, the download, the restart box, and 1.1 closes.
        server.version_file = ("1.2\r\n0|2|%s|%s\r\n0|5|%s/dl/update.zip|\r\n" % (
            QUESTION, QUESTION_CAPTION, base)).encode()
        run.check_for_updates("1.1")
        check(run.box(IDYES, "1.1") == (QUESTION_CAPTION, QUESTION), "no question box")
        check(run.box(IDOK, "1.1") == (UPDATE_CAPTION, DOWNLOADED), "no restart box")
        run.driver("gone", CAPTION % "1.1")
        # The setup program from the update folder, as a user clicks through it.
        run.driver("wizard", dest, MENU_FOLDER)
        run.driver("window", CAPTION % "1.2")
        line = run.driver("cmdline", CAPTION % "1.2")[0]
        say("1.2 started as %s" % line)
        m = re.search(r' tq5082tq67 "([^"]*)\\Update_Quorlix\.exe"$', line)
        check(m, "1.2 started with %r" % line)
        folder = run.unix(m.group(1))
        check(re.fullmatch(r"vq10\d+tmp", os.path.basename(folder)) and
              os.path.dirname(folder) == run.temp.rstrip("/"), "update folder %r" % folder)
        check(wait_until(lambda: not os.path.exists(folder), 5),
              "the update folder %s stayed: %r" % (folder, os.listdir(folder)
                                                   if os.path.isdir(folder) else None))

        check(open(os.path.join(dest_unix, "Quorlix.exe"), "rb").read() == new_program,
              "the installed program is not 1.2")
        entry = dict(l.split("=", 1) for l in run.driver("uninstall-entry"))
        expected = {"DisplayName": "Quorlix Zeva", "DisplayVersion": "1.2",
                    "DisplayIcon": dest + "Quorlix.exe", "InstallLocation": dest,
                    "Publisher": "Brevane"}
        for name, value in expected.items():
            check(entry.get(name) == value, "uninstall entry %s: %r" % (name, entry.get(name)))
        check(entry.get("UninstallString") == '"%suninstall.exe" "Quorlix" "%s"' % (dest, dest),
              "UninstallString %r" % entry.get("UninstallString"))
        records = uninstall_records(os.path.join(dest_unix, "uninstall.dat"))
        say("uninstall entry %r\nuninstall.dat %r" % (entry, records))
        kinds = [k for k, _ in records]
        paths = [p for _, p in records]
        files = sorted(p[len(dest):] for k, p in records if k == 1 and p.startswith(dest))
        links = [p for k, p in records if k == 1 and p.endswith(".lnk")]
        # The Start-menu folder was made by the first install, so the update does not log it.
        check(records[0] == (2, dest.rstrip("\\")) and kinds.count(2) == 1,
              "folder records %r" % records)
        check(files == sorted(payload + ["uninstall.dat"]), "file records %r" % paths)
        check(len(links) == 3 and
              sum(p.endswith("\\" + MENU_FOLDER + "\\Quorlix.lnk") for p in links) == 1 and
              sum(p.endswith("\\" + MENU_FOLDER + "\\Quorlix Help.lnk") for p in links) == 1,
              "link records %r" % links)
        check(records[-1] == (1, dest + "uninstall.dat"), "last record %r" % (records[-1],))
        check(len(records) == 1 + len(payload) + 3 + 1, "records %r" % records)

        # 1.2 knows itself as 1.2: the same version file now announces nothing new.
        server.version_file = b"1.2\r\n"
        run.check_for_updates("1.2")
        check(run.box(IDOK, "1.2") == ("Quorlix Zeva, Version 1.2",
                                       "You have the latest version of Quorlix Zeva"),
              "1.2 does not know it is the latest")
        # Each program names its own version to the server.
        check(server.agents[0] == "Quorlix Zeva/1.1" and server.agents[-1] == "Quorlix Zeva/1.2",
              "user agents %r" % sorted(set(server.agents)))
        run.driver("close", CAPTION % "1.2")
        run.driver("gone", CAPTION % "1.2")
    finally:
        # Whatever a failure left open ends here, so that later tests find a quiet desktop.
        for caption in (CAPTION % "1.1", CAPTION % "1.2", "Setup - Quorlix Zeva"):
            subprocess.run([args.wine, args.driver, "end", caption], capture_output=True, timeout=60)
        server.stop()
        if setup and setup.poll() is None:
            setup.kill()
        subprocess.run([args.wine, args.driver, "forget", MENU_FOLDER], capture_output=True,
                       timeout=60)
    shutil.rmtree(args.scratch, ignore_errors=True)
    print("ok: 1.1 installed, failed updates left it running, 1.2 installed and started back")


if __name__ == "__main__":
    try:
        main()
    except (Failure, subprocess.TimeoutExpired) as e:
        print("FAIL: %s" % e, file=sys.stderr)
        sys.exit(1)
