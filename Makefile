# Convenience wrapper around CMake. Build trees live under build/.
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
RELEASE := build/release
ASAN := build/asan
TSAN := build/tsan
SHARED ?= ../shared
# The optimised engine is built by clang where it is installed (with a
# training run's branch profile, see cmake/profiled), else by the system's
# compiler. clang 19 is preferred: its engine runs 2-3% faster than clang
# 14's, Debian 12's default.
RELEASE_CXX ?= $(firstword $(foreach c,clang++-19 clang++ c++,$(if $(shell command -v $(c) 2>/dev/null),$(c))))

.PHONY: all build run test perft bench speed profile-build asan tsan fuzz fuzz-build windows test-windows mutants clean

all: build

$(RELEASE)/CMakeCache.txt:
	CXX=$(RELEASE_CXX) cmake -S . -B $(RELEASE) -DCMAKE_BUILD_TYPE=Release

build: $(RELEASE)/CMakeCache.txt
	cmake --build $(RELEASE) -j $(JOBS)

run: build
	./$(RELEASE)/tarn

test: build
	cd $(RELEASE) && ctest --output-on-failure -j $(JOBS)

# Every position of the shared perft file to its deepest listed depth.
perft: build
	TARN_PERFT_FULL=1 ./$(RELEASE)/tests/board_tests --gtest_filter='Perft.*'

bench: build
	./$(RELEASE)/tarn -bench

# Nodes per second of the everyday Tarn build and the installed peer engines
# (stockfish, glaurung, toga2) on the benchmark positions, interleaved;
# BASELINE=path/to/tarn measures a second Tarn binary beside this one,
# SPEED_ARGS passes more options (tools/speed.py --help; --realtime steadies
# the figures on a busy machine).
speed: build
	python3 tools/speed.py --tarn $(RELEASE)/tarn $(if $(BASELINE),--baseline $(BASELINE)) $(SPEED_ARGS)

# The everyday build is the profile-guided one when clang builds it; the
# name stays for those who look for it.
profile-build: build

$(ASAN)/CMakeCache.txt:
	cmake -S . -B $(ASAN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARN_SANITIZE=address

asan: $(ASAN)/CMakeCache.txt
	cmake --build $(ASAN) -j $(JOBS)
	cd $(ASAN) && ctest --output-on-failure -j $(JOBS)

$(TSAN)/CMakeCache.txt:
	cmake -S . -B $(TSAN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARN_SANITIZE=thread

tsan: $(TSAN)/CMakeCache.txt
	cmake --build $(TSAN) -j $(JOBS)
	cd $(TSAN) && ctest --output-on-failure -j $(JOBS)

# Fuzzing with libFuzzer (clang, ASan + UBSan): every target of tests/fuzz
# for FUZZ_SECONDS each, FUZZ_JOBS targets at a time. A crash fails the run
# and leaves its input in build/fuzz/crashes/<target>/; once fixed, the input
# goes into tests/fuzz/regressions/<target>/, which the test suite replays.
FUZZ := build/fuzz
FUZZ_SECONDS ?= 180
FUZZ_JOBS ?= 1
FUZZ_TARGETS := position session move_text pgn config book polyglot tablebase

$(FUZZ)/CMakeCache.txt:
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARN_FUZZ=ON

fuzz-build: $(FUZZ)/CMakeCache.txt
	cmake --build $(FUZZ) -j $(JOBS)

fuzz: fuzz-build
	@echo $(FUZZ_TARGETS) | tr ' ' '\n' | \
	  xargs -P $(FUZZ_JOBS) -I{} tests/fuzz/run_target.sh $(FUZZ) {} $(FUZZ_SECONDS)

# The Windows engine, cross-built with MinGW-w64 from the same sources.
WINDOWS := build/windows

$(WINDOWS)/CMakeCache.txt:
	cmake -S . -B $(WINDOWS) -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake

windows: $(WINDOWS)/CMakeCache.txt
	cmake --build $(WINDOWS) -j $(JOBS)

# The benchmark's node total must match the Linux build's; then the tests
# that drive the binary run in the Linux test programs against tarn.exe under
# wine, once through a Windows pipe (as a Windows interface starts it) and
# once on a Unix pipe (as a Linux interface running wine does). Wine keeps
# its own Windows installation under build/; its server stays up between
# the many short runs (its first start is slow).
WINE_ENV := WINEPREFIX=$(CURDIR)/build/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# $(1): the command that starts tarn.exe
windows_tests = cd $(RELEASE) && $(WINE_ENV) TARN_BINARY=$(CURDIR)/$(WINDOWS)/tarn.exe \
	TARN_LAUNCHER="$(1)" ctest --output-on-failure -j $(JOBS) -L process
bench_nodes = $(1) -bench -d 8 | sed -n 's/^total.*nodes= *\([0-9]*\).*/\1/p'

build/wine/system.reg:
	$(WINE_ENV) wineboot --init
	$(WINE_ENV) wineserver --wait

test-windows: build windows build/wine/system.reg
	$(WINE_ENV) wineserver --persistent=30
	@work=$$(mktemp -d) && cd $$work && \
	linux=$$($(call bench_nodes,$(CURDIR)/$(RELEASE)/tarn)) && \
	windows=$$($(call bench_nodes,$(WINE_ENV) wine $(CURDIR)/$(WINDOWS)/tarn.exe)); \
	cd / && rm -rf $$work && \
	echo "-bench -d 8 nodes: linux $$linux, windows $$windows" && \
	test -n "$$linux" && test "$$linux" = "$$windows"
	$(call windows_tests,wine $(CURDIR)/$(WINDOWS)/pipe_relay.exe)
	$(call windows_tests,wine)

# Small faults planted one at a time, each built in build/mutants and run
# against the tests; ends with a table of caught and missed changes. Options
# (folders, files, changes per folder, seed) in tools/mutants.py.
mutants:
	python3 tools/mutants.py $(MUTANTS_ARGS)

clean:
	rm -rf build
