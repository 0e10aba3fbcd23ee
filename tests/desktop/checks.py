"""What the desktop tests share: each check is reported and counted, and a test goes on
after a failed one, so that one run shows everything that is wrong."""

failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAILED:", what)
    return condition


def outcome():
    """The exit status: 0 when every check passed."""
    if failures:
        return 1
    print("passed")
    return 0
