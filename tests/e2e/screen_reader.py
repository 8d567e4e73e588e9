#!/usr/bin/env python3
"""What a screen reader meets of the running program, through the AT-SPI bus (pyatspi).

  screen_reader.py listen LOG          every event of the program, one a line, until killed
  screen_reader.py tree                the tree of each of the program's windows
  screen_reader.py find ROLE NAME      true when a showing object of that role and name is there
  screen_reader.py press ROLE NAME     its action (Press, Toggle or Click), as a reader's user would
  screen_reader.py focus ROLE NAME     the keyboard to it
  screen_reader.py settext ROLE TEXT   the first showing editable object of ROLE gets TEXT
  screen_reader.py read ROLE           the first showing object of ROLE: name, text, caret, value
  screen_reader.py setfield ROLE OFFSET VALUE   caret to OFFSET, then the value to VALUE

ROLE is an AT-SPI role name ("push button", "spin button"); several may be given as "a|b". NAME
is matched whole. The program is the application named Tovrin (TOVRIN_APP overrides).
"""
import os
import sys
import time

import pyatspi

APP = os.environ.get("TOVRIN_APP", "Tovrin")


def app():
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        child = desktop.getChildAtIndex(i)
        if child is not None and child.name == APP:
            return child
    return None


def showing(obj):
    return obj.getState().contains(pyatspi.STATE_SHOWING)


def describe(obj):
    """What a reader says of obj: role, name, and its value or text."""
    words = ["[%s]" % obj.getRoleName(), repr(obj.name)]
    try:
        text = obj.queryText()
        words.append("text=%r" % text.getText(0, -1))
        if text.getNSelections() > 0:
            words.append("selected=%r" % text.getText(*text.getSelection(0)))
    except NotImplementedError:
        pass
    try:
        value = obj.queryValue()
        words.append("value=%g (%g..%g)" % (value.currentValue, value.minimumValue, value.maximumValue))
    except NotImplementedError:
        pass
    try:
        action = obj.queryAction()
        names = [action.getName(i) for i in range(action.nActions)]
        if names:
            words.append("actions=%s" % ",".join(names))
    except NotImplementedError:
        pass
    states = obj.getState()
    for state, word in ((pyatspi.STATE_FOCUSED, "focused"), (pyatspi.STATE_CHECKED, "checked"),
                        (pyatspi.STATE_SELECTED, "selected")):
        if states.contains(state):
            words.append(word)
    return " ".join(words)


def walk(obj, depth=0, out=None):
    """Every object under obj; a reader skips those that do not show, the walk notes them."""
    if out is not None:
        out.append((depth, obj))
    if depth > 20:
        return out
    for i in range(obj.childCount):
        child = obj.getChildAtIndex(i)
        if child is not None:
            walk(child, depth + 1, out)
    return out


def objects():
    root = app()
    if root is None:
        return []
    return [obj for _, obj in walk(root, 0, [])]


def find(roles, name=None, editable=False):
    wanted = roles.split("|")
    for obj in objects():
        if obj.getRoleName() not in wanted or not showing(obj):
            continue
        if name is not None and obj.name != name:
            continue
        if editable and not obj.getState().contains(pyatspi.STATE_EDITABLE):
            continue
        return obj
    return None


def tree():
    root = app()
    if root is None:
        print("no application %s on the bus" % APP)
        return 1
    for i in range(root.childCount):
        window = root.getChildAtIndex(i)
        if window is None or not showing(window):
            continue
        print("window: " + describe(window))
        for depth, obj in walk(window, 0, [])[1:]:
            print("  " * depth + describe(obj) + ("" if showing(obj) else " (not showing)"))
    return 0


def press(roles, name):
    obj = find(roles, name)
    if obj is None:
        print("no %s named %r" % (roles, name), file=sys.stderr)
        return 1
    action = obj.queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    for wanted in ("Press", "Toggle", "Click", "press", "toggle", "click"):
        if wanted in names:
            print("%s: %s" % (wanted, describe(obj)))
            action.doAction(names.index(wanted))
            return 0
    print("%s has no press among %s" % (describe(obj), names), file=sys.stderr)
    return 1


def focus(roles, name):
    obj = find(roles, name)
    if obj is None or not obj.queryComponent().grabFocus():
        return 1
    print("focus: " + describe(obj))
    return 0


def settext(roles, text):
    obj = find(roles, editable=True)
    if obj is None:
        return 1
    obj.queryEditableText().setTextContents(text)
    print("text set: " + describe(obj))
    return 0


def read(roles):
    obj = find(roles)
    if obj is None:
        return 1
    print(describe(obj))
    text = obj.queryText()
    print("caret=%d" % text.caretOffset)
    return 0


def setfield(roles, offset, value):
    obj = find(roles)
    if obj is None:
        return 1
    obj.queryText().setCaretOffset(int(offset))
    obj.queryValue().currentValue = float(value)
    print("field set: " + describe(obj))
    return 0


def listen(log):
    out = open(log, "a", buffering=1)
    start = time.time()

    def heard(event):
        try:
            source = event.source
            if source.getApplication().name != APP:
                return
            what = "[%s] %r" % (source.getRoleName(), source.name)
        except Exception as error:  # the object may be gone by now
            what = "(%s)" % error
        extra = ""
        if event.type.startswith("object:text-changed"):
            extra = " %r at %d" % (event.any_data, event.detail1)
        elif "accessible-value" in event.type:
            try:
                extra = " value=%g" % event.source.queryValue().currentValue
            except Exception:
                pass
        out.write("%.3f %s d1=%d %s%s\n" % (time.time() - start, event.type, event.detail1, what, extra))

    for kind in ("object:state-changed:showing", "object:state-changed:checked",
                 "object:property-change:accessible-name", "object:property-change:accessible-value",
                 "object:text-changed", "object:text-selection-changed", "object:text-caret-moved",
                 "focus:", "window:activate"):
        pyatspi.Registry.registerEventListener(heard, kind)
    out.write("listening\n")
    pyatspi.Registry.start()


def main(argv):
    if len(argv) < 2:
        print(__doc__, file=sys.stderr)
        return 2
    command, args = argv[1], argv[2:]
    if command == "listen":
        listen(args[0])
        return 0
    if command == "tree":
        return tree()
    if command == "find":
        return 0 if find(args[0], args[1]) is not None else 1
    if command == "press":
        return press(args[0], args[1])
    if command == "focus":
        return focus(args[0], args[1])
    if command == "settext":
        return settext(args[0], args[1])
    if command == "read":
        return read(args[0])
    if command == "setfield":
        return setfield(args[0], args[1], args[2])
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
