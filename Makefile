# The commands a newcomer runs. Each one installs what is missing first.

BUILD_DIR ?= build
ASAN_DIR ?= build-asan
FUZZ_DIR ?= build-fuzz
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=
PREFIX ?= /usr/local

.PHONY: all setup configure build test run install bench asan fuzz format screenshots clean

all: build

setup:
	@scripts/setup.sh

configure: setup
	@cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)

test: build
	@cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS) --timeout 300

run: build
	@scripts/run-demo.sh $(BUILD_DIR)

# The programs, the Qt module, the help, the desktop entries, icons and
# manual pages under PREFIX (DESTDIR is honoured for packaging).
install: build
	@cmake --install $(BUILD_DIR) --prefix $(PREFIX)

bench: setup
	@cmake -S . -B $(BUILD_DIR)-release -G Ninja -DCMAKE_BUILD_TYPE=Release $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(BUILD_DIR)-release -j $(JOBS)
	@scripts/run-bench.sh $(BUILD_DIR)-release

asan: setup
	@cmake -S . -B $(ASAN_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTESSALY_SANITIZE=ON $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(ASAN_DIR) -j $(JOBS)
	@cd $(ASAN_DIR) && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
		LSAN_OPTIONS=suppressions=$(CURDIR)/scripts/lsan-qt.supp \
		ctest --output-on-failure -j $(JOBS) --timeout 600

fuzz: setup
	@cmake -S . -B $(FUZZ_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++ \
		-DTESSALY_FUZZ=ON -DTESSALY_WITH_QT=OFF $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(FUZZ_DIR) -j $(JOBS)
	@scripts/run-fuzz.sh $(FUZZ_DIR) $${FUZZ_SECONDS:-60}

screenshots: build
	@scripts/screenshots.sh $(BUILD_DIR) docs/screenshots

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD_DIR) $(BUILD_DIR)-release $(ASAN_DIR) $(FUZZ_DIR)
