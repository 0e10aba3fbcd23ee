#!/usr/bin/env python3
"""Checks the help pages: each has a title, every link leads to a page of the help and,
when it names one, an anchor that page has, and every picture is there.

    check_help.py HELP_FOLDER
"""
import sys
from html.parser import HTMLParser
from pathlib import Path


class Page(HTMLParser):
    def __init__(self):
        super().__init__()
        self.ids, self.links, self.images = set(), [], []
        self.title, self._in_title = "", False

    def handle_starttag(self, tag, attrs):
        attrs = dict(attrs)
        if "id" in attrs:
            self.ids.add(attrs["id"])
        if tag == "a" and "name" in attrs:
            self.ids.add(attrs["name"])
        if tag == "a" and "href" in attrs:
            self.links.append(attrs["href"])
        if tag == "img":
            self.images.append(attrs.get("src", ""))
        self._in_title = tag == "title"

    def handle_endtag(self, tag):
        if tag == "title":
            self._in_title = False

    def handle_data(self, data):
        if self._in_title:
            self.title += data


def main() -> int:
    folder = Path(sys.argv[1])
    pages = {}
    for path in sorted(folder.glob("*.html")):
        page = Page()
        page.feed(path.read_text(encoding="utf-8"))
        pages[path.name] = page
    problems = []
    if "index.html" not in pages:
        problems.append("there is no index.html")
    for name, page in pages.items():
        if not page.title.strip():
            problems.append(f"{name}: no title")
        for link in page.links:
            if link.split(":", 1)[0] in ("http", "https", "mailto"):
                continue
            target, _, anchor = link.partition("#")
            target = target or name
            if target not in pages:
                problems.append(f"{name}: link to a page that does not exist: {link}")
            elif anchor and anchor not in pages[target].ids:
                problems.append(f"{name}: link to an anchor that does not exist: {link}")
        for image in page.images:
            if not (folder / image).is_file():
                problems.append(f"{name}: picture that does not exist: {image}")
    for p in problems:
        print(p)
    print(f"{len(pages)} pages, {sum(len(p.links) for p in pages.values())} links, "
          f"{len(problems)} problems")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
