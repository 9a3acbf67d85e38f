# Front door: `make run` and `make test`; `make dist` for the release archives.
.PHONY: run test dist setup build

setup:
	@scripts/setup.sh

build: setup
	@scripts/build.sh native win32 win64

test: build
	@scripts/build.sh sanitize fuzz
	@scripts/test.sh

run: build
	@scripts/run.sh

dist: setup
	@scripts/dist.sh
