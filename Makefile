# Convenience wrapper around CMake. Build trees live under build/.
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
RELEASE := build/release
ASAN := build/asan
TSAN := build/tsan
SHARED ?= ../shared

.PHONY: all build run test perft bench asan tsan clean

all: build

$(RELEASE)/CMakeCache.txt:
	cmake -S . -B $(RELEASE) -DCMAKE_BUILD_TYPE=Release

build: $(RELEASE)/CMakeCache.txt
	cmake --build $(RELEASE) -j $(JOBS)

run: build
	./$(RELEASE)/tarn

test: build
	cd $(RELEASE) && ctest --output-on-failure -j $(JOBS)

# Every position of the shared perft file to its deepest listed depth.
perft: build
	TARN_PERFT_FULL=1 ./$(RELEASE)/tests/board_tests --gtest_filter='PerftFull.*'

bench: build
	./$(RELEASE)/tarn -bench

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

clean:
	rm -rf build
