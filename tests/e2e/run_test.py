"""CTest's entry to the end-to-end tests: runs one test method by name.

    run_test.py --exe X --helpers DIR --work DIR --source DIR [--archive ZIP] [--deadline S] MODULE METHOD
    run_test.py ... --template      builds the template prefix (the suite's fixture)
"""

import argparse
import os
import signal
import sys
import time
import unittest
from pathlib import Path


class Deadline(Exception):
    pass


def _on_deadline(signum, frame):
    # Raised inside the test, so that its session still ends its processes and
    # deletes its prefix before CTest's own time-out would kill us outright.
    raise Deadline("the test ran out of time")


def main() -> int:
    parser = argparse.ArgumentParser()
    parser.add_argument("--exe", required=True)
    parser.add_argument("--helpers", required=True)
    parser.add_argument("--work", required=True)
    parser.add_argument("--source", required=True)
    parser.add_argument("--archive", default="")
    parser.add_argument("--deadline", type=int, default=150)
    parser.add_argument("--template", action="store_true")
    parser.add_argument("module", nargs="?")
    parser.add_argument("method", nargs="?")
    args = parser.parse_args()

    os.environ.update(TOLLEVANE_EXE=args.exe, TOLLEVANE_E2E_HELPERS=args.helpers,
                      TOLLEVANE_E2E_WORK=args.work, TOLLEVANE_SOURCE=args.source)
    if args.archive:
        os.environ["TOLLEVANE_ARCHIVE"] = args.archive
    sys.path.insert(0, str(Path(__file__).resolve().parent))
    signal.signal(signal.SIGALRM, _on_deadline)
    signal.signal(signal.SIGTERM, _on_deadline)
    signal.alarm(args.deadline)

    if args.template:
        import prefixes
        started = time.monotonic()
        template = prefixes.ensure_template(Path(args.work))
        built = (template / "build-seconds").read_text().strip()
        print(f"template {template} ready after {time.monotonic() - started:.1f} s (built in {built} s)")
        return 0

    module = __import__(args.module)
    suite = unittest.TestSuite()
    for item in vars(module).values():
        if isinstance(item, type) and issubclass(item, unittest.TestCase) and hasattr(item, args.method):
            suite.addTest(item(args.method))
    if suite.countTestCases() != 1:
        print(f"expected one test named {args.method} in {args.module}, found {suite.countTestCases()}")
        return 2
    result = unittest.TextTestRunner(verbosity=2, stream=sys.stdout).run(suite)
    return 0 if result.wasSuccessful() else 1


if __name__ == "__main__":
    sys.exit(main())
