# The two commands a new user needs: `make play` and `make test`.
# Both install what is missing first (scripts/install-deps, through apt).

.PHONY: play test check demo windows fuzz soak deps build format clean

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

# The edit-test loop: the optimised build and its own suite, nothing else
# (no sanitizers, no Windows build, no fuzzing).
check: deps
	@cmake --preset default >/dev/null
	@cmake --build --preset default -j $(JOBS)
	@ctest --preset default -j $(JOBS)

demo: build
	@scripts/demo

windows:
	@scripts/install-deps windows
	@scripts/build-windows

fuzz:
	@scripts/install-deps fuzz
	@scripts/fuzz

# Thirty virtual minutes of lost and won levels at 60 and at 240 frames a
# second, with the peak memory after one minute and at the end.
soak: build
	@cd build/default && ZT_SOAK_MINUTES=30 ZT_BUILD_DIR=$$PWD ./soak_test

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build out dist
