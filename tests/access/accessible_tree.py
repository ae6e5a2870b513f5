"""Walks orvex's accessibility tree over AT-SPI: every control a user can operate has a name,
without line breaks; the fan curve chart is named and says what it shows."""
import sys
import time

import pyatspi

INTERACTIVE = {
    pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_CHECK_BOX, pyatspi.ROLE_COMBO_BOX, pyatspi.ROLE_TEXT,
    pyatspi.ROLE_ENTRY, pyatspi.ROLE_SPIN_BUTTON, pyatspi.ROLE_RADIO_BUTTON, pyatspi.ROLE_TOGGLE_BUTTON,
    pyatspi.ROLE_CHART, pyatspi.ROLE_PASSWORD_TEXT, pyatspi.ROLE_SLIDER,
}


def find_app(pid):
    deadline = time.time() + 30
    while time.time() < deadline:
        desktop = pyatspi.Registry.getDesktop(0)
        for app in desktop:
            try:
                if app is not None and app.get_process_id() == pid and app.childCount > 0:
                    return app
            except Exception:
                pass
        time.sleep(0.5)
    return None


def walk(node, depth=0):
    yield node
    if depth > 40:
        return
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is not None:
            yield from walk(child, depth + 1)


def main():
    app = find_app(int(sys.argv[1]))
    if app is None:
        print("FAIL: orvex did not appear on the accessibility bus")
        return 1
    # The window is built before it shows: give the tree a moment to fill.
    time.sleep(1)
    failures = []
    seen = {}
    charts = []
    lists = []
    for node in walk(app):
        role = node.getRole()
        if role not in INTERACTIVE:
            continue
        if not node.getState().contains(pyatspi.STATE_SHOWING):
            continue
        name = node.name or ""
        seen[role] = seen.get(role, 0) + 1
        where = "%s (%s)" % (node.getRoleName(), node.parent.name if node.parent else "")
        if not name.strip():
            failures.append("no name: " + where)
        elif "\n" in name or name != " ".join(name.split()):
            failures.append("name with line breaks or stray spaces: %r %s" % (name, where))
        if role == pyatspi.ROLE_CHART:
            charts.append(node)
        if role == pyatspi.ROLE_COMBO_BOX:
            lists.append(name)
    for role, count in sorted(seen.items(), key=lambda item: str(item[0])):
        print("%3d %s" % (count, role.value_nick))
    if seen.get(pyatspi.ROLE_PUSH_BUTTON, 0) < 6 or seen.get(pyatspi.ROLE_COMBO_BOX, 0) < 9:
        failures.append("the window's buttons and lists were not all found: %s" % seen)
    # Lists go by their labels, not by the entry they show.
    labels = {"Input Control Type", "Output Control Type", "Low Temperature Shut Off(°C)",
              "Approximate Speed Cap (RPM)", "Invert PWM Output", "Tacho Dependent Alarm",
              "High Temperature Alarm(°C)", "Low Temperature Alarm(°C)", "Alarm Active State"}
    missing = labels - set(lists)
    if missing:
        failures.append("lists not named by their labels: %s (named %s)" % (sorted(missing), sorted(lists)))
    if not any(c.name == "Fan curve" and c.description for c in charts):
        failures.append("no chart named Fan curve with a description")
    for failure in failures:
        print("FAIL:", failure)
    if not failures:
        print("every control is named; chart:", charts[0].description)
    return 1 if failures else 0


sys.exit(main())
