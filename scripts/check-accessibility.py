#!/usr/bin/python3
"""Reads the running Quarrow window through the accessibility bus (AT-SPI) and checks that every control
in it has a role and a name, as a screen reader needs. Prints the tree; exits 1 when a control lacks one.
The program must run with QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 on the same session bus."""

import sys
import time

import pyatspi

# Roles that only hold other controls: a name is not needed there.
CONTAINERS = {pyatspi.ROLE_FILLER, pyatspi.ROLE_PANEL, pyatspi.ROLE_SCROLL_PANE, pyatspi.ROLE_VIEWPORT,
              pyatspi.ROLE_SCROLL_BAR, pyatspi.ROLE_TABLE_COLUMN_HEADER, pyatspi.ROLE_TABLE_CELL}


def find_application(name, seconds=20):
    end = time.time() + seconds
    while time.time() < end:
        desktop = pyatspi.Registry.getDesktop(0)
        for app in desktop:
            if app is not None and (app.name or "").lower() == name and app.childCount > 0:
                return app
        time.sleep(0.5)
    return None


def main():
    app = find_application("quarrow")
    if app is None:
        print("quarrow does not show on the accessibility bus", file=sys.stderr)
        return 1
    problems = []
    controls = 0

    def walk(node, depth):
        nonlocal controls
        role = node.getRole()
        name = node.name or ""
        print("%s%s: %r" % ("  " * depth, node.getRoleName(), name))
        if depth >= 2 and role not in CONTAINERS:
            controls += 1
            if role == pyatspi.ROLE_UNKNOWN:
                problems.append("a control without a role: %r" % name)
            elif not name.strip():
                problems.append("a %s without a name" % node.getRoleName())
        # The table's cells are data, not controls.
        if role == pyatspi.ROLE_TABLE:
            return
        for child in node:
            if child is not None:
                walk(child, depth + 1)

    walk(app, 0)
    for problem in problems:
        print(problem, file=sys.stderr)
    if controls < 20:
        print("only %d controls are seen" % controls, file=sys.stderr)
        return 1
    print("%d controls, %d without a name or role" % (controls, len(problems)))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
