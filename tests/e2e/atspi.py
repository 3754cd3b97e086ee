#!/usr/bin/python3
"""Reads a running program through AT-SPI, as assistive technology sees it.

usage: atspi.py tree <application>     every object, one a line, indented:
                                        "<n>/<of> <role> "<name>" <x>,<y> <w>x<h> [description]"
       atspi.py message <application>  the text of its open alert or dialog
Exits 1 while the application is not on the accessibility bus.
"""
import sys

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi  # noqa: E402


def application(name):
    desktop = Atspi.get_desktop(0)
    for i in range(desktop.get_child_count()):
        app = desktop.get_child_at_index(i)
        if app is not None and app.get_name() == name:
            return app
    return None


def children(obj):
    count = obj.get_child_count()
    return [(i, count, obj.get_child_at_index(i)) for i in range(count)]


def tree(obj, depth=0):
    for i, count, child in children(obj):
        box = child.get_extents(Atspi.CoordType.SCREEN)
        description = child.get_description()
        print(f'{"  " * depth}{i + 1}/{count} {child.get_role_name()} "{child.get_name()}" '
              f'{box.x},{box.y} {box.width}x{box.height}' + (f" [{description}]" if description else ""))
        tree(child, depth + 1)


def message(app):
    def texts(obj):
        for _, _, child in children(obj):
            if child.get_role() in (Atspi.Role.LABEL, Atspi.Role.STATIC) and child.get_name():
                yield child.get_name()
            yield from texts(child)
    for _, _, window in children(app):
        if window.get_role() in (Atspi.Role.ALERT, Atspi.Role.DIALOG):
            print("\n".join(texts(window)))


if __name__ == "__main__":
    if len(sys.argv) != 3 or sys.argv[1] not in ("tree", "message"):
        sys.exit(__doc__)
    found = application(sys.argv[2])
    if found is None:
        sys.exit(1)
    tree(found) if sys.argv[1] == "tree" else message(found)
