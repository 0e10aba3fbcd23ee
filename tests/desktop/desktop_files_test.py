#!/usr/bin/env python3
"""Checks the files that introduce the program to a desktop.

    desktop_files_test.py SOURCE_DIR BUILD_DIR VERSION

The desktop entry and the AppStream file pass their validators and agree on the
program's identity; the icon exists in every hicolor size at that size; the MIME package
makes a file manager take .rmi files, named so or not, for MIDI songs.
"""
import configparser
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ElementTree
from pathlib import Path

from checks import check, outcome

ID = "org.vorlaune.Vorlaune"
SIZES = (16, 22, 24, 32, 48, 64, 128, 256, 512)


def validates(*command, env=None):
    result = subprocess.run(command, capture_output=True, text=True, env=env)
    print(f"$ {' '.join(command)}: status {result.returncode}\n{result.stdout}{result.stderr}", end="")
    return result.returncode == 0


def png_size(path):
    data = path.read_bytes()[:24]
    return struct.unpack(">II", data[16:24]) if data[:8] == b"\x89PNG\r\n\x1a\n" else None


def main():
    source, build = Path(sys.argv[1]), Path(sys.argv[2])
    folder = source / "resources/desktop"
    entry_file = folder / f"{ID}.desktop"
    metainfo_file = build / f"resources/desktop/{ID}.metainfo.xml"

    check(validates("desktop-file-validate", str(entry_file)), "desktop-file-validate passes")
    check(validates("appstreamcli", "validate", "--no-net", str(metainfo_file)),
          "appstreamcli validate passes")

    entry = configparser.ConfigParser(interpolation=None)
    entry.optionxform = str
    entry.read(entry_file)
    desktop = entry["Desktop Entry"]
    check(desktop["Exec"].split()[0] == "vorlaune", "the entry starts the installed program")
    check(desktop["Icon"] == ID, "the entry's icon is the program's")
    check("audio/midi" in desktop["MimeType"].split(";"), "the entry opens MIDI files")
    check(set("AudioVideo;Audio;Midi;Music;Sequencer".split(";")) <=
          set(desktop["Categories"].split(";")), "the entry is in the audio menus")

    component = ElementTree.parse(metainfo_file).getroot()
    check(component.findtext("id") == ID, "the AppStream id is the program's")
    check(component.findtext("launchable") == f"{ID}.desktop", "AppStream launches the entry")
    check(component.find("releases/release").get("version") == sys.argv[3],
          "AppStream names this version")

    icons = build / "src/app/icons/hicolor"
    for size in SIZES:
        png = icons / f"{size}x{size}/apps/{ID}.png"
        check(png.exists() and png_size(png) == (size, size), f"the {size} pixel icon is made")

    # The MIME package in a database of its own, read with the system's beside it, as a
    # file manager reads them: the RIFF-wrapped song must win over plain RIFF data.
    work = Path(tempfile.mkdtemp(prefix="vorlaune-mime-"))
    try:
        packages = work / "mime/packages"
        packages.mkdir(parents=True)
        shutil.copy(folder / f"{ID}.mime.xml", packages / f"{ID}.xml")
        env = dict(os.environ, PKGSYSTEM_ENABLE_FSYNC="0")
        check(validates("update-mime-database", str(work / "mime"), env=env),
              "the MIME package compiles")
        globs = (work / "mime/globs2").read_text().splitlines()
        check(any(line.endswith(":audio/midi:*.rmi") for line in globs),
              ".rmi files are MIDI songs")
        if shutil.which("gio"):
            header = b"RIFF\x10\x00\x00\x00RMIDdata\x08\x00\x00\x00MThd"
            (work / "song.rmi").write_bytes(header)
            (work / "renamed.bin").write_bytes(header)
            env.update(XDG_DATA_DIRS=f"{work}:/usr/share", XDG_DATA_HOME=str(work / "none"))
            info = subprocess.run(["gio", "info", "-a", "standard::content-type",
                                   str(work / "song.rmi"), str(work / "renamed.bin")],
                                  env=env, capture_output=True, text=True).stdout
            check(info.count("standard::content-type: audio/midi") == 2,
                  "a RIFF MIDI file is a MIDI song by its name and by its content")
    finally:
        shutil.rmtree(work, ignore_errors=True)
    return outcome()


if __name__ == "__main__":
    sys.exit(main())
