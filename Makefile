# Front door: `make run` and `make test`.
.PHONY: run test setup build

setup:
	@scripts/setup.sh

build: setup
	@scripts/build.sh native win32 win64

test: build
	@scripts/build.sh sanitize
	@scripts/test.sh

run: build
	@scripts/run.sh
