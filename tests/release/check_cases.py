"""The report of the release checks: each case names what it checks, the
problems the check found, and whether it expects none (the real file) or
some (a file spoiled on purpose, to show the check refuses it)."""


def report(name, cases):
    """Prints a line a case and ctest's closing line; the exit code."""
    failed = 0
    for what, found, clean in cases:
        passed = not found if clean else bool(found)
        failed += not passed
        print(f"{'ok  ' if passed else 'FAIL'} {what}" + (f": {found[0]}" if found else ""))
    print(f"{name}: {len(cases) - failed} passed, {failed} failed")
    return 1 if failed else 0
