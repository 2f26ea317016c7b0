#!/usr/bin/python3
# Reads the main window off the accessibility bus as a screen reader does: starts the program
# (argv[1]) and checks the names, roles, label relations and actions it publishes there.
# Run under dbus-run-session and xvfb-run, with at-spi2-core's bus launcher on the session bus.
import os
import subprocess
import shutil
import sys
import tempfile
import time

import pyatspi

os.environ["QT_LINUX_ACCESSIBILITY_ALWAYS_ON"] = "1"
os.environ["QT_QPA_PLATFORM"] = "xcb"
config = tempfile.mkdtemp()
os.environ["XDG_CONFIG_HOME"] = config
program = subprocess.Popen([sys.argv[1]], stdout=subprocess.DEVNULL)
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)


def wait_for(find, seconds=20):
    deadline = time.time() + seconds
    while time.time() < deadline:
        found = find()
        if found is not None:
            return found
        time.sleep(0.2)
    return None


def application():
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name == os.path.basename(sys.argv[1]):
            return app
    return None


def window(app, name):
    for child in app:
        if child is not None and child.name == name:
            return child
    return None


def descendants(node):
    for child in node:
        if child is None:
            continue
        yield child
        yield from descendants(child)


try:
    app = wait_for(application)
    if app is None:
        sys.exit("the program never appeared on the accessibility bus")
    main = wait_for(lambda: window(app, "Corvane Tallyglass"))
    if main is None:
        sys.exit("the main window never appeared on the accessibility bus")
    check(main.getRole() == pyatspi.ROLE_FRAME, "the main window's role is %s" % main.getRoleName())

    nodes = list(descendants(main))
    by_role = {}
    for node in nodes:
        by_role.setdefault(node.getRole(), []).append(node)
    boxes = by_role.get(pyatspi.ROLE_TEXT, []) + by_role.get(pyatspi.ROLE_ENTRY, [])
    buttons = [n.name for n in by_role.get(pyatspi.ROLE_PUSH_BUTTON, [])]
    ticks = [n.name for n in by_role.get(pyatspi.ROLE_CHECK_BOX, [])]
    images = by_role.get(pyatspi.ROLE_IMAGE, [])

    # Each caption names its box and is linked to it; the box's name is that caption.
    captions = []
    for label in by_role.get(pyatspi.ROLE_LABEL, []):
        for relation in label.getRelationSet():
            if relation.getRelationType() == pyatspi.RELATION_LABEL_FOR:
                target = relation.getTarget(0)
                check(target.name == label.name, "%r labels a box named %r" % (label.name, target.name))
                captions.append(label.name)
    check(len(captions) == 38, "%d captions are linked to a box, not 38" % len(captions))
    check(sorted(b.name for b in boxes) == sorted(captions), "the value boxes' names are not their captions")
    check(len(set(captions)) == 38, "two captions are alike")

    # Copy buttons and tick boxes: "Copy " and "Select " with the caption without its colon.
    fields = [c[:-1] if c.endswith(":") else c for c in captions]
    check(sorted(n for n in buttons if n not in ("Copy All", "Copy Selected", "Exit", "Browse ..."))
          == sorted("Copy " + f for f in fields), "copy buttons: %s" % buttons)
    check(sorted(ticks) == sorted("Select " + f for f in fields), "tick boxes: %s" % ticks)
    for name in ("Copy Title", "Copy Chars (incl. spaces)", "Copy SHA-256 Hash", "Copy All", "Exit"):
        check(name in buttons, "no button %r" % name)
    for name in ("Select Title", "Select Chars (incl. spaces)", "Select File Name"):
        check(name in ticks, "no tick box %r" % name)

    # The two banners are pictures named for what pressing them does, and pressing one works.
    check([i.name for i in images] == ["About Tallyglass", "About Tallyglass"],
          "images: %s" % [i.name for i in images])
    if images:
        action = images[0].queryAction()
        names = [action.getName(i) for i in range(action.nActions)]
        check(names == ["Press"], "the banner's actions are %s" % names)
        if names == ["Press"]:
            action.doAction(0)
            about = wait_for(lambda: window(app, "About Corvane Tallyglass"), 10)
            check(about is not None and about.getState().contains(pyatspi.STATE_SHOWING),
                  "pressing the banner did not show the About window")
finally:
    program.terminate()
    program.wait(10)
    shutil.rmtree(config, ignore_errors=True)

for failure in failures:
    print("FAIL:", failure)
sys.exit(1 if failures else 0)
