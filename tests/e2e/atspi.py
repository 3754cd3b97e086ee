#!/usr/bin/python3
"""Reads the running program through the accessibility bus (AT-SPI), as a
screen reader does: where its controls are, how many rows its list holds, and
what an open message box says. The program's name on the bus is "Velkrin".

usage: atspi.py tree               every object, one a line, indented:
                                  "<n>/<of> <role> "<name>" <x>,<y> <w>x<h> [description]"
       atspi.py extents NAME...   "x y width height" on the screen, a line each
       atspi.py rows NAME         the number of rows of a list or table
       atspi.py name DESCRIPTION  the name of the control so described (a
                                  label is named by its text)
       atspi.py alert             the text of each open message box, a line each
Exits 1 when the program, a control or a message box is not there (yet)."""
import sys

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi  # noqa: E402


def program():
    desktop = Atspi.get_desktop(0)
    for i in range(desktop.get_child_count()):
        app = desktop.get_child_at_index(i)
        if app is not None and app.get_name() == "Velkrin":
            return app
    sys.exit("atspi.py: the program is not on the accessibility bus")


def descendants(node):
    for i in range(node.get_child_count()):
        child = node.get_child_at_index(i)
        if child is None:
            continue
        yield child
        yield from descendants(child)


def find(matches, what):
    for node in descendants(program()):
        if matches(node) and node.get_role() != Atspi.Role.ALERT:
            return node
    sys.exit(f"atspi.py: no control {what}")


def named(name):
    return find(lambda node: node.get_name() == name, f'named "{name}"')


def extents(names):
    for name in names:
        box = named(name).get_extents(Atspi.CoordType.SCREEN)
        print(box.x, box.y, box.width, box.height)


def rows(name):
    node = named(name)
    print(Atspi.Table.get_n_rows(node) if "Table" in node.get_interfaces() else node.get_child_count())


def tree(node, depth=0):
    count = node.get_child_count()
    for i in range(count):
        child = node.get_child_at_index(i)
        if child is None:
            continue
        box = child.get_extents(Atspi.CoordType.SCREEN)
        description = child.get_description()
        print(f'{"  " * depth}{i + 1}/{count} {child.get_role_name()} "{child.get_name()}" '
              f"{box.x},{box.y} {box.width}x{box.height}" + (f" [{description}]" if description else ""))
        tree(child, depth + 1)


def alert():
    texts = [" ".join(label.get_name() for label in descendants(box) if label.get_role() == Atspi.Role.LABEL)
             for box in descendants(program()) if box.get_role() == Atspi.Role.ALERT]
    if not texts:
        sys.exit(1)
    for text in texts:
        print(text.replace("\n", " "))


if __name__ == "__main__":
    command, args = (sys.argv[1], sys.argv[2:]) if len(sys.argv) > 1 else ("", [])
    if command == "tree" and not args:
        tree(program())
    elif command == "extents" and args:
        extents(args)
    elif command == "rows" and len(args) == 1:
        rows(args[0])
    elif command == "name" and len(args) == 1:
        print(find(lambda node: node.get_description() == args[0], f'described as "{args[0]}"').get_name())
    elif command == "alert" and not args:
        alert()
    else:
        sys.exit(__doc__)
