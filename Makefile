# Front door: `make run` and `make test`; `make dist` for the release archives and the
# package managers' manifests (`make dist RELEASE_URL=https://...`: where the archives go).
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
	@RELEASE_URL="$(RELEASE_URL)" scripts/dist.sh
