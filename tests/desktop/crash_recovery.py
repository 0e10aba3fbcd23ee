#!/usr/bin/env python3
"""Crash and recovery of the real program, end to end.

    crash_recovery.py VORLAUNE SONG

A script edits a copy of SONG; the program is killed with SIGSEGV once its copy of the
edit is written. The crash log must name the signal and the song, the song's file must be
untouched, and the next start must offer the song: Cancel keeps the copy, Recover opens
the song with the edit (compared with the same edit saved by hand), Discard deletes it.
"""
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time
from pathlib import Path

from checks import check, outcome


class Runner:
    def __init__(self, program, work):
        self.program = program
        self.work = work
        self.home = work / "home"
        self.home.mkdir()
        self.env = dict(os.environ, VORLAUNE_HOME=str(self.home), VORLAUNE_AUDIO_DRIVER="none")
        for name in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"):
            self.env.pop(name, None)

    def script(self, name, text):
        path = self.work / name
        path.write_text(text)
        return path

    def run(self, name, text, *files):
        args = [str(self.program), "--script", str(self.script(name, text)), *map(str, files)]
        run = subprocess.run(args, env=self.env, capture_output=True, text=True, timeout=120)
        print(f"$ {name}: status {run.returncode}\n{run.stdout}{run.stderr}", end="")
        return run

    def dump(self, song):
        return subprocess.run([str(self.program), "--dump", str(song)], env=self.env,
                              capture_output=True, text=True, timeout=60).stdout

    def recovery_files(self):
        return sorted(p.name for p in self.home.glob("RECOVERY-*"))

    def crash_after_edit(self, song):
        """Edits `song`, waits until the copy of the edit is listed, kills the program."""
        script = self.script("edit.txt", "key E\nwait 120000\n")
        process = subprocess.Popen([str(self.program), "--script", str(script), str(song)],
                                   env=self.env, stdout=subprocess.PIPE,
                                   stderr=subprocess.PIPE, text=True)
        deadline = time.monotonic() + 60
        while not list(self.home.glob("RECOVERY-*.TXT")) and time.monotonic() < deadline:
            if process.poll() is not None:
                break
            time.sleep(0.1)
        listed = bool(list(self.home.glob("RECOVERY-*.TXT")))
        if process.poll() is None:
            process.send_signal(signal.SIGSEGV)
        out, err = process.communicate(timeout=60)
        print(f"$ edit and crash: status {process.returncode}\n{out}{err}", end="")
        check(listed, "the edited song's copy was listed within a minute")
        check(process.returncode == -signal.SIGSEGV, "the program died of SIGSEGV")
        check("Vorlaune ended unexpectedly. A report was added to " in err,
              "standard error points to the crash log")


def main():
    program, demo = Path(sys.argv[1]).resolve(), Path(sys.argv[2]).resolve()
    work = Path(tempfile.mkdtemp(prefix="vorlaune-crash-"))
    try:
        runner = Runner(program, work)
        song = work / "song.mid"
        shutil.copy(demo, song)
        original = song.read_bytes()
        question = "message: Vorlaune | Vorlaune did not end the ordinary way the last time it ran."

        # The edit as it looks when saved by hand.
        reference = work / "reference.mid"
        runner.run("reference.txt", f"key E\nanswer {reference}\ncommand 114\n", song)
        check(reference.exists(), "the reference was saved")

        runner.crash_after_edit(song)
        log = (runner.home / "StackWalk.LOG").read_text() if (runner.home / "StackWalk.LOG").exists() else ""
        check("Signal 11 (SIGSEGV, invalid memory access)" in log, "the log names the signal")
        check("Call stack:\n" in log and "vorlaune" in log.split("Call stack:\n")[-1],
              "the log has a call stack through the program")
        check(f"Open songs:\n  {song} (changed; copy RECOVERY-" in log, "the log names the song")
        check(song.read_bytes() == original, "the crash left the song's file untouched")

        song_copy_files = runner.recovery_files()

        run = runner.run("cancel.txt", "answer Cancel\nexpect-title Vorlaune - [UNTITLED]\n")
        check(run.returncode == 0, "Cancel: the program starts on a new song")
        check(any(line.startswith(question) and f"\\n\\n{song}\\n\\n" in line
                  for line in run.stdout.splitlines()), "the question names the song")
        check(runner.recovery_files() == song_copy_files, "Cancel kept the copy")

        recovered = work / "recovered.mid"
        run = runner.run("recover.txt", f"answer Recover\nexpect-title Vorlaune - [{song} *]\n"
                         f"answer {recovered}\ncommand 114\n")
        check(run.returncode == 0, "Recover opens the song under its name, unsaved")
        check(recovered.exists() and runner.dump(recovered) == runner.dump(reference),
              "the recovered song holds the edit")
        check(song.read_bytes() == original, "recovering left the song's file untouched")
        check(runner.recovery_files() == [], "nothing is left to recover after a clean end")

        runner.crash_after_edit(song)
        run = runner.run("discard.txt", "answer Discard\nexpect-title Vorlaune - [UNTITLED]\n")
        check(run.returncode == 0 and question in run.stdout, "Discard was asked and answered")
        check(runner.recovery_files() == [], "Discard deleted the copy")
        run = runner.run("again.txt", "expect-title Vorlaune - [UNTITLED]\n")
        check(run.returncode == 0 and question not in run.stdout, "nothing is asked again")
        check(song.read_bytes() == original, "the song's file was never written")
    finally:
        shutil.rmtree(work, ignore_errors=True)
    return outcome()


if __name__ == "__main__":
    sys.exit(main())
