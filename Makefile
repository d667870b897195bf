# Front door: make run | make test | make dist | make fuzz | make bench | make gallery
SHELL := /bin/bash
.DEFAULT_GOAL := run

PACKAGES := cmake make g++ clang g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix wine wine64 xvfb \
            googletest libgtest-dev openssl imagemagick zip x11-utils python3 clang-format
OSH_PROBE_HOST ?=
OSH_PUBLISHER_HOST ?=
FUZZ_SECONDS ?= 60
# Hosts given on the command line apply to that build only; without them the
# shipped hosts come back (-U drops a value cached by an earlier call).
HOSTS := $(if $(OSH_PROBE_HOST),-DOSH_PROBE_HOST=$(OSH_PROBE_HOST),-UOSH_PROBE_HOST) \
         $(if $(OSH_PUBLISHER_HOST),-DOSH_PUBLISHER_HOST=$(OSH_PUBLISHER_HOST),-UOSH_PUBLISHER_HOST)

.PHONY: deps native fuzz-build windows windows-test windows32 dist run test fuzz bench gallery format clean

deps:
	@missing=$$(for p in $(PACKAGES); do dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null \
	    | grep -q 'install ok installed' || echo $$p; done); \
	if [ -n "$$missing" ]; then \
	    if [ "$$(id -u)" = 0 ]; then \
	        echo "Installing:" $$missing; \
	        apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $$missing >/dev/null; \
	    else \
	        echo "Missing packages; run as root:"; \
	        echo "  apt-get update && apt-get install -y $$missing"; exit 1; \
	    fi; \
	fi

native: deps
	cmake --preset native >/dev/null
	cmake --build --preset native

# clang builds core once for libFuzzer; the fuzz targets link it.
fuzz-build: deps
	cmake --preset fuzz >/dev/null
	cmake --build --preset fuzz

windows: deps
	cmake --preset windows $(HOSTS) >/dev/null
	cmake --build --preset windows

dist: windows
	cmake --build --preset windows --target dist
	@echo "Distribution: build/dist/Orbitashell and build/dist/orbitashell.zip"

run: dist
	tools/run.sh

# The tests build their own copy of the program whose addresses all point at
# the local HTTPS server: no test ever talks to a host outside this machine.
windows-test: deps
	cmake --preset windows-test >/dev/null
	cmake --build --preset windows-test

# The 32-bit build is compiled, not run: there is no 32-bit Wine here.
windows32: deps
	cmake --preset windows32 >/dev/null
	cmake --build --preset windows32

# The release archive too: a test runs the program users download.
test: native fuzz-build windows-test windows32 dist
	tools/test.sh

fuzz: fuzz-build
	OSH_FUZZ_SECONDS=$(FUZZ_SECONDS) ctest --preset fuzz

bench: windows
	tools/bench.sh

gallery: windows
	tools/gallery.sh

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf build
