#!/usr/bin/env python3
"""Builds the Debian package from the build tree, as `make package` does, and looks inside.

    package_test.py CPACK BUILD_DIR VERSION

The package must hold the program and its files under /usr, owned by root, depend on the
libraries the program links and on a SoundFont, and have no lintian errors.
"""
import shutil
import subprocess
import sys
import tempfile
from pathlib import Path

from checks import check, outcome

ID = "org.vorlaune.Vorlaune"


def main():
    cpack, build, version = sys.argv[1], Path(sys.argv[2]), sys.argv[3]
    work = Path(tempfile.mkdtemp(prefix="vorlaune-package-"))
    try:
        made = subprocess.run([cpack, "-G", "DEB", "--config", str(build / "CPackConfig.cmake"),
                               "-B", str(work)], capture_output=True, text=True)
        print(made.stdout, made.stderr, end="")
        debs = list(work.glob("*.deb"))
        if not check(made.returncode == 0 and len(debs) == 1, "cpack makes one package"):
            return outcome()
        deb = debs[0]
        arch = subprocess.run(["dpkg", "--print-architecture"], capture_output=True,
                              text=True).stdout.strip()
        check(deb.name == f"vorlaune_{version}-1_{arch}.deb", f"the package is named {deb.name}")

        def field(name):
            return subprocess.run(["dpkg-deb", "-f", str(deb), name], capture_output=True,
                                  text=True).stdout.strip()

        check(field("Version") == f"{version}-1", "the package has the program's version")
        depends = [d.strip().split()[0] for d in field("Depends").split(",")]
        print("Depends:", field("Depends"))
        for library in ("libqt6widgets6", "libqt6printsupport6", "libfluidsynth3",
                        "librtmidi6", "libsndfile1", "libasound2"):
            check(library in depends, f"the package depends on {library}")
        check("fluid-soundfont-gm" in depends, "the package depends on a SoundFont")

        listing = subprocess.run(["dpkg-deb", "--contents", str(deb)], capture_output=True,
                                 text=True).stdout.splitlines()
        entries = {line.split()[-1].lstrip("."): line.split() for line in listing}
        for path in ("/usr/bin/vorlaune", f"/usr/share/applications/{ID}.desktop",
                     f"/usr/share/metainfo/{ID}.metainfo.xml",
                     f"/usr/share/mime/packages/{ID}.xml",
                     f"/usr/share/icons/hicolor/48x48/apps/{ID}.png",
                     "/usr/share/vorlaune/fonts/VORLAN.TTF", "/usr/share/vorlaune/home/VORLAUNE.INI",
                     "/usr/share/vorlaune/help/index.html",
                     "/usr/share/vorlaune/demo/vorlaune-demo.mid", "/usr/share/man/man1/vorlaune.1.gz",
                     "/usr/share/doc/vorlaune/copyright"):
            check(path in entries, f"the package holds {path}")
        check(all(p.startswith("/usr/") or p == "/" for p in entries), "everything is under /usr")
        check(all(e[1] == "root/root" for e in entries.values()), "everything belongs to root")
        program = entries.get("/usr/bin/vorlaune")
        check(program is not None and program[0] == "-rwxr-xr-x", "the program is executable")

        if shutil.which("lintian"):
            lint = subprocess.run(["lintian", "--fail-on", "error", str(deb)],
                                  capture_output=True, text=True)
            print(lint.stdout, end="")
            check(lint.returncode == 0, "lintian finds no errors")
    finally:
        shutil.rmtree(work, ignore_errors=True)
    return outcome()


if __name__ == "__main__":
    sys.exit(main())
