#!/usr/bin/env python3
"""Installs the program into a temporary prefix and runs it from another folder.

    install_test.py CMAKE BUILD_DIR SOURCE_DIR VERSION

The installed program must find everything in its prefix (music fonts, shipped defaults,
demo song) with none of the build's paths in it and no help from the environment.
"""
import os
import shutil
import subprocess
import sys
import tempfile
from pathlib import Path

from checks import check, outcome

ID = "org.vorlaune.Vorlaune"


def main():
    cmake, build, source, version = sys.argv[1], Path(sys.argv[2]), Path(sys.argv[3]), sys.argv[4]
    work = Path(tempfile.mkdtemp(prefix="vorlaune-install-"))
    try:
        prefix = work / "prefix"
        subprocess.run([cmake, "--install", str(build), "--prefix", str(prefix)], check=True,
                       stdout=subprocess.DEVNULL)
        program = prefix / "bin" / "vorlaune"
        demo = prefix / "share/vorlaune/demo/vorlaune-demo.mid"
        expected = [
            "bin/vorlaune",
            "share/vorlaune/fonts/VORLAN.TTF", "share/vorlaune/fonts/VORLANB.TTF",
            "share/vorlaune/fonts/OFL.txt",
            "share/vorlaune/home/VORLAUNE.INI", "share/vorlaune/home/GENERAL.MDV",
            "share/vorlaune/home/chords.mid", "share/vorlaune/home/PIANOROL.DLG",
            "share/vorlaune/help/index.html", "share/vorlaune/help/troubleshooting.html",
            "share/vorlaune/demo/vorlaune-demo.mid", "share/vorlaune/demo/chime.wav",
            f"share/applications/{ID}.desktop", f"share/metainfo/{ID}.metainfo.xml",
            f"share/mime/packages/{ID}.xml", f"share/icons/hicolor/scalable/apps/{ID}.svg",
            "share/man/man1/vorlaune.1.gz", "share/doc/vorlaune/README.md",
            "share/doc/vorlaune/copyright",
        ] + [f"share/icons/hicolor/{n}x{n}/apps/{ID}.png" for n in (16, 22, 24, 32, 48, 64, 128, 256, 512)]
        for name in expected:
            check((prefix / name).is_file(), f"{name} is installed")

        # No path of the trees it was built from: stripped of its debugging sections, the
        # program holds what it runs with.
        stripped = work / "stripped"
        subprocess.run(["strip", "-o", str(stripped), str(program)], check=True)
        data = stripped.read_bytes()
        for tree in (source.resolve(), build.resolve()):
            check(str(tree).encode() not in data, f"the program does not name {tree}")

        elsewhere = work / "elsewhere"
        elsewhere.mkdir()
        user = work / "user"
        env = {k: v for k, v in os.environ.items()
               if not k.startswith("VORLAUNE_") and not k.startswith("XDG_")
               and k not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
        env.update(HOME=str(user), VORLAUNE_AUDIO_DRIVER="none")

        def run(*args):
            result = subprocess.run([str(program), *map(str, args)], cwd=elsewhere, env=env,
                                    capture_output=True, text=True, timeout=120)
            print(f"$ vorlaune {' '.join(map(str, args))}: status {result.returncode}\n"
                  f"{result.stdout}{result.stderr}", end="")
            return result

        check(run("--version").stdout == f"vorlaune {version}\n", "--version names the version")

        result = run("-o", "page.pdf", demo)
        pdf = elsewhere / "page.pdf"
        check(result.returncode == 0 and pdf.read_bytes().startswith(b"%PDF"), "-o writes a PDF")
        if shutil.which("pdffonts") and pdf.exists():
            fonts = subprocess.run(["pdffonts", str(pdf)], capture_output=True, text=True).stdout
            check("Vorlan" in fonts, "the PDF's notes are in the installed music fonts")

        seeded = user / ".local/share/vorlaune/VORLAUNE.INI"
        check(seeded.exists() and seeded.read_bytes() ==
              (prefix / "share/vorlaune/home/VORLAUNE.INI").read_bytes(),
              "the first start seeds the home directory from the prefix")

        shot = elsewhere / "shot.png"
        (elsewhere / "smoke.txt").write_text(
            f"expect-title Vorlaune - [{demo}]\nkey E\nscreenshot {shot}\nkey Ctrl+Z\n")
        result = run("--script", "smoke.txt", demo)
        check(result.returncode == 0, "the smoke script passes")
        not_blank = source / "tests/smoke/png_not_blank.py"
        check(shot.exists() and subprocess.run([sys.executable, str(not_blank), str(shot)]).returncode == 0,
              "the screenshot shows the window")
    finally:
        shutil.rmtree(work, ignore_errors=True)
    return outcome()


if __name__ == "__main__":
    sys.exit(main())
