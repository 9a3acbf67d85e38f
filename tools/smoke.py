"""`make test`'s short run of a tool: runs it with small numbers, shows what it printed,
and fails unless it ended well and printed each expected figure, so that a tool
cannot stop working unseen.

    smoke.py --expect REGEX [--expect REGEX ...] TOOL [ARGS...]

Exit status: the tool's own when it failed or was skipped (77), 1 when a figure is
missing, else 0."""

from __future__ import annotations

import argparse
import re
import subprocess
import sys

import toolbox


def main() -> int:
    parser = argparse.ArgumentParser()
    parser.add_argument("--expect", action="append", default=[], help="a regular expression the output must match")
    parser.add_argument("tool")
    parser.add_argument("args", nargs=argparse.REMAINDER)
    args = parser.parse_args()

    run = subprocess.run([sys.executable, args.tool, *args.args], stdout=subprocess.PIPE,
                         stderr=subprocess.STDOUT, stdin=subprocess.DEVNULL,
                         preexec_fn=toolbox.wine_host.die_with_parent)
    output = run.stdout.decode("utf-8", errors="replace")
    print(output, end="", flush=True)
    if run.returncode != 0:
        print(f"smoke: {args.tool} ended with status {run.returncode}")
        return run.returncode
    missing = [pattern for pattern in args.expect if not re.search(pattern, output, re.MULTILINE)]
    if missing:
        print(f"smoke: {args.tool} ended well but printed nothing like: " + "; ".join(missing))
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
