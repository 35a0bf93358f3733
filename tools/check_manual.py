#!/usr/bin/env python3
"""Checks the HTML manual the help window shows: every internal link names an anchor that
exists, every local link and picture names a file that exists, and no anchor is defined twice.

    tools/check_manual.py [MANUAL_DIR]   (default docs/manual beside this script's folder)

Prints one line per fault and exits 1 when there is any; 0 and a summary otherwise.
"""

import os
import sys
from html.parser import HTMLParser
from urllib.parse import unquote, urlsplit


class Page(HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.anchors = []  # every name= of <a> and every id=
        self.links = []  # (line, href)
        self.pictures = []  # (line, src)
        self.stylesheets = []  # (line, href)

    def handle_starttag(self, tag, attrs):
        attributes = dict(attrs)
        line = self.getpos()[0]
        if "id" in attributes:
            self.anchors.append(attributes["id"])
        if tag == "a":
            if "name" in attributes:
                self.anchors.append(attributes["name"])
            if "href" in attributes:
                self.links.append((line, attributes["href"]))
        elif tag == "img":
            self.pictures.append((line, attributes.get("src", "")))
        elif tag == "link" and attributes.get("rel") == "stylesheet":
            self.stylesheets.append((line, attributes.get("href", "")))


def read_page(path):
    page = Page()
    with open(path, encoding="utf-8") as f:
        page.feed(f.read())
    page.close()
    return page


def check(manual_dir):
    faults = []
    pages = {}
    for name in sorted(os.listdir(manual_dir)):
        if name.endswith(".html"):
            pages[name] = read_page(os.path.join(manual_dir, name))
    if "index.html" not in pages:
        return [f"{manual_dir}: no index.html"], 0

    links = 0
    for name, page in pages.items():
        seen = set()
        for anchor in page.anchors:
            if anchor in seen:
                faults.append(f"{name}: anchor '{anchor}' is defined twice")
            seen.add(anchor)

        def local_file(line, target, what):
            path = os.path.normpath(os.path.join(manual_dir, unquote(target)))
            if not os.path.isfile(path):
                faults.append(f"{name}:{line}: {what} '{target}' does not exist")
            return path

        for line, href in page.links:
            links += 1
            parts = urlsplit(href)
            if parts.scheme or parts.netloc:
                continue  # the home page and other addresses outside the manual
            target_page = name
            if parts.path:
                local_file(line, parts.path, "link target")
                target_page = os.path.basename(parts.path)
            if parts.fragment:
                anchors = pages[target_page].anchors if target_page in pages else []
                if parts.fragment not in anchors:
                    faults.append(f"{name}:{line}: no anchor '{parts.fragment}' in {target_page}")
        for line, src in page.pictures:
            links += 1
            if not src:
                faults.append(f"{name}:{line}: picture without src")
            else:
                local_file(line, src, "picture")
        for line, href in page.stylesheets:
            links += 1
            local_file(line, href, "stylesheet")
    return faults, links


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    manual_dir = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "docs", "manual")
    faults, links = check(manual_dir)
    for fault in faults:
        print(fault)
    if faults:
        return 1
    print(f"{os.path.normpath(manual_dir)}: {links} links, pictures and stylesheets resolve")
    return 0


if __name__ == "__main__":
    sys.exit(main())
