#!/usr/bin/env python3
"""Fails when a source file includes a header of a higher layer, or when Qt is used
outside the qt/ subfolders.

The folders of src/ form a ladder; a file may include headers of its own folder and of
the folders below it:

    util < model < midifile < devices < edit < views < playback < record < app

Qt headers may only be included from files under a `qt/` subfolder, so that a reader
sees from the path which files need a display library.
"""
import re
import sys
from pathlib import Path

LADDER = ["util", "model", "midifile", "devices", "edit", "views", "playback", "record", "app"]
RANK = {name: i for i, name in enumerate(LADDER)}

PROJECT_INCLUDE = re.compile(r'^\s*#\s*include\s+"([a-z]+)/([^"]+)"', re.M)
QT_INCLUDE = re.compile(r'^\s*#\s*include\s+[<"](Q[A-Za-z]+|Qt[A-Za-z]*/[^>"]+)[>"]', re.M)


def problems(src: Path):
    for path in sorted(src.rglob("*")):
        if path.suffix not in (".h", ".cpp"):
            continue
        rel = path.relative_to(src)
        folder = rel.parts[0]
        if folder not in RANK:
            yield f"{rel}: folder '{folder}' is not on the ladder"
            continue
        text = path.read_text(encoding="utf-8", errors="replace")
        for match in PROJECT_INCLUDE.finditer(text):
            target = match.group(1)
            if target not in RANK:
                continue
            if RANK[target] > RANK[folder]:
                yield f"{rel}: includes {target}/{match.group(2)}, a higher layer"
            elif target == folder and "qt" in Path(match.group(2)).parts and "qt" not in rel.parts:
                yield f"{rel}: includes {target}/{match.group(2)} from outside qt/"
        if "qt" not in rel.parts:
            for match in QT_INCLUDE.finditer(text):
                yield f"{rel}: uses Qt ({match.group(1)}) outside a qt/ folder"


def main() -> int:
    src = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).resolve().parents[2] / "src"
    found = list(problems(src))
    for line in found:
        print(line)
    if found:
        print(f"{len(found)} layering problem(s)")
        return 1
    print("layering: every include points down")
    return 0


if __name__ == "__main__":
    sys.exit(main())
