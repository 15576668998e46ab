# The two commands a new user needs: `make play` and `make test`.
# Both install what is missing first (scripts/install-deps, through apt):
# playing needs only the compiler and the game's libraries, testing more.

.PHONY: play install uninstall package test check demo windows web fuzz soak deps build \
	play-deps play-build format clean

JOBS ?= $(shell nproc)
# Where `make install` puts the game; DESTDIR stages it under another root.
PREFIX ?= /usr/local

deps:
	@scripts/install-deps

build: deps
	@cmake --preset default >/dev/null
	@cmake --build --preset default -j $(JOBS)

# The game alone (Release, no tests, no headless runner) in build/play.
play-deps:
	@scripts/install-deps core

play-build: play-deps
	@cmake --preset play >/dev/null
	@cmake --build --preset play -j $(JOBS)

play: play-build
	@scripts/play

install: play-build
	@DESTDIR="$(DESTDIR)" cmake --install build/play --prefix "$(PREFIX)"

# Removes what the last `make install` wrote (build/play/install_manifest.txt);
# give it the same PREFIX and DESTDIR.
uninstall:
	@cmake -DMANIFEST=build/play/install_manifest.txt -DPREFIX="$(PREFIX)" \
		-DDESTDIR="$(DESTDIR)" -P cmake/uninstall.cmake

# The Debian package, in dist/, once Debian's own checks accept it.
package: play-build
	@scripts/install-deps package
	@rm -f build/play/zummertock_*.deb
	@cd build/play && cpack -G DEB
	@scripts/check-package build/play/zummertock_*.deb build/play/zummertock
	@mkdir -p dist && cp build/play/zummertock_*.deb dist/
	@ls dist/zummertock_*.deb

test: deps
	@scripts/run-tests

# The edit-test loop: the optimised build and its own suite, nothing else
# (no sanitizers, no Windows or browser build, no fuzzing).
check: deps
	@cmake --preset default >/dev/null
	@cmake --build --preset default -j $(JOBS)
	@ctest --preset default -j $(JOBS) -LE web

demo: build
	@scripts/demo

windows:
	@scripts/install-deps windows
	@scripts/build-windows

# The browser version: dist/web (serve it as it is) and dist/zummertock-web.zip.
web:
	@scripts/install-deps web
	@scripts/build-web

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
