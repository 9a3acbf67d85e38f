"""CTest's entry to the end-to-end tests: runs one test method by name.

    run_test.py --exe X --helpers DIR --work DIR --source DIR --arch win32|win64
                [--archive ZIP] [--deadline S] MODULE METHOD
    run_test.py ... --template      builds the template prefix (the suite's fixture)

Exit status 0 passed, 1 failed, 2 misuse, 77 skipped: on a host that cannot run
Wine for the architecture, or a test whose every case needs a Windows version
that the architecture lacks.
"""

import argparse
import os
import signal
import sys
import time
import unittest
from pathlib import Path


SKIPPED = 77


class Deadline(Exception):
    pass


class _CountingResult(unittest.TextTestResult):
    """Counts what passed, cases (subtests) included: unittest reports a test one
    of whose cases skipped as neither passed nor skipped."""

    def __init__(self, *args, **kwargs):
        super().__init__(*args, **kwargs)
        self.passes = 0

    def addSuccess(self, test):
        super().addSuccess(test)
        self.passes += 1

    def addSubTest(self, test, subtest, err):
        super().addSubTest(test, subtest, err)
        if err is None:
            self.passes += 1


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
    parser.add_argument("--arch", choices=("win32", "win64"), default="win32")
    parser.add_argument("--template", action="store_true")
    parser.add_argument("module", nargs="?")
    parser.add_argument("method", nargs="?")
    args = parser.parse_args()

    os.environ.update(TOLLEVANE_EXE=args.exe, TOLLEVANE_E2E_HELPERS=args.helpers,
                      TOLLEVANE_E2E_WORK=args.work, TOLLEVANE_SOURCE=args.source,
                      TOLLEVANE_E2E_ARCH=args.arch)
    if args.archive:
        os.environ["TOLLEVANE_ARCHIVE"] = args.archive
    sys.path.insert(0, str(Path(__file__).resolve().parent))
    import wine_host
    unable = wine_host.host_runs_arch()
    if unable:
        print(f"skipped: {unable}; the {args.arch} end-to-end tests cannot run on this host")
        return SKIPPED
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
    result = unittest.TextTestRunner(verbosity=2, stream=sys.stdout, resultclass=_CountingResult).run(suite)
    if not result.wasSuccessful():
        return 1
    # Skipped when it skipped itself or every one of its cases did.
    return 0 if result.passes > 0 or not result.skipped else SKIPPED


if __name__ == "__main__":
    sys.exit(main())
