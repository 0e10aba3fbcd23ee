#!/usr/bin/env python3
"""Runs one end-to-end case of the real program through its script driver.

    run_script.py VORLAUNE CASE_DIR [CORPUS_DIR]

A case folder holds `script.txt` and what must come of it:
  expected-output.txt  lines the program must print, in this order (others may come
                       between them)
  expected.dump        the `vorlaune --dump` text of the file the script saved as
                       @OUT@/saved.mid
  same-as.txt          a song file: @OUT@/saved.mid must hold the very bytes the program
                       writes for that song unchanged (`vorlaune -o`)
  expected-files.txt   files that must exist after the run, one a line; a line starting
                       with "!" names one that must not (@OUT@/home is the home directory)
Placeholders in the script: @OUT@ (a fresh folder), @CORPUS@ (the outside test files),
@SOURCE@ (the source tree). The case is skipped (exit 77) when it needs the corpus and
the corpus is absent.
"""
import os
import shutil
import subprocess
import sys
import tempfile
from pathlib import Path

SKIP = 77


def main() -> int:
    program, case = Path(sys.argv[1]), Path(sys.argv[2])
    corpus = Path(sys.argv[3]).resolve() if len(sys.argv) > 3 else Path("/nonexistent")
    source = Path(__file__).resolve().parents[2]
    script = (case / "script.txt").read_text()
    if "@CORPUS@" in script and not corpus.is_dir():
        print(f"skipped: the outside test files are not at {corpus}")
        return SKIP
    out = Path(tempfile.mkdtemp(prefix="vorlaune-script-"))
    try:
        home = out / "home"
        home.mkdir()
        text = (script.replace("@OUT@", str(out)).replace("@CORPUS@", str(corpus))
                .replace("@SOURCE@", str(source)))
        (out / "script.txt").write_text(text)
        env = dict(os.environ, VORLAUNE_HOME=str(home), VORLAUNE_AUDIO_DRIVER="none")
        env.pop("DISPLAY", None)
        env.pop("WAYLAND_DISPLAY", None)
        env.pop("QT_QPA_PLATFORM", None)
        args = [str(program), "--script", str(out / "script.txt")]
        run = subprocess.run(args, env=env, capture_output=True, text=True, timeout=300)
        lines = run.stdout.splitlines()
        print(run.stdout, end="")
        if run.returncode != 0:
            print(run.stderr, end="")
            print(f"FAILED: the program ended with status {run.returncode}")
            return 1
        expected = case / "expected-output.txt"
        if expected.exists():
            at = 0
            for want in expected.read_text().splitlines():
                want = want.replace("@OUT@", str(out)).replace("@CORPUS@", str(corpus))
                while at < len(lines) and lines[at] != want:
                    at += 1
                if at == len(lines):
                    print(f"FAILED: the program never printed (in this order): {want}")
                    return 1
                at += 1
        dump = case / "expected.dump"
        if dump.exists():
            saved = out / "saved.mid"
            if not saved.exists():
                print("FAILED: the script saved no file as @OUT@/saved.mid")
                return 1
            got = subprocess.run([str(program), "--dump", str(saved)], env=env,
                                 capture_output=True, text=True, timeout=60).stdout
            if got != dump.read_text():
                print("FAILED: the saved song differs from expected.dump:")
                print(got, end="")
                return 1
        same = case / "same-as.txt"
        if same.exists():
            original = same.read_text().strip().replace("@CORPUS@", str(corpus))
            reference = out / "reference.mid"
            subprocess.run([str(program), "-o", str(reference), original], env=env,
                           check=True, timeout=60)
            saved = out / "saved.mid"
            if not saved.exists() or saved.read_bytes() != reference.read_bytes():
                print(f"FAILED: the saved song is not the unchanged {original}")
                return 1
        files = case / "expected-files.txt"
        if files.exists():
            for line in files.read_text().splitlines():
                absent = line.startswith("!")
                path = Path(line.lstrip("!").replace("@OUT@", str(out)))
                if path.exists() == absent:
                    state = "is there" if absent else "is missing"
                    print(f"FAILED: {path} {state}")
                    return 1
        print("passed")
        return 0
    finally:
        shutil.rmtree(out, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
