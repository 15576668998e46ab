# The two commands a new user needs: `make play` and `make test`.
# Both install what is missing first (scripts/install-deps, through apt).

.PHONY: play test demo windows fuzz deps build format clean

JOBS ?= $(shell nproc)

deps:
	@scripts/install-deps

build: deps
	@cmake --preset default >/dev/null
	@cmake --build --preset default -j $(JOBS)

play: build
	@scripts/play

test: deps
	@scripts/run-tests

demo: build
	@scripts/demo

windows:
	@scripts/install-deps windows
	@scripts/build-windows

fuzz: deps
	@scripts/fuzz

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build out dist
