# Set-up and everyday commands. `make run` and `make test` work on a fresh Debian 12 machine:
# they install whatever Debian packages are missing, build with CMake/Ninja and run.

BUILD      ?= build
ASAN_BUILD ?= $(BUILD)/asan
BENCH_BUILD ?= $(BUILD)/bench
FUZZ_BUILD ?= $(BUILD)/fuzz
FUZZ_SECONDS ?= 60
JOBS       ?= $(shell nproc)

PACKAGES := cmake ninja-build g++ clang clang-tidy libclang-rt-14-dev qt6-base-dev libqscintilla2-qt6-dev \
            ccache xvfb xdotool libx11-dev libgtest-dev libgmock-dev libbenchmark-dev fonts-dejavu-core \
            gcc-avr avr-libc binutils-avr

SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: deps build asan run test bench fuzz format tidy clean

deps:
	@missing=""; \
	for p in $(PACKAGES); do \
	  dpkg -s $$p 2>/dev/null | grep -q '^Status: install ok installed' || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  $(SUDO) apt-get update && \
	  $(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends $$missing; \
	fi

build: deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j $(JOBS)

asan: deps
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DOSTREL_SANITIZE=ON
	cmake --build $(ASAN_BUILD) -j $(JOBS)

run: build
	@sh tools/prepare-example.sh $(BUILD)/bin
	$(BUILD)/bin/ostrel

test: build asan
	@echo "== tests =="
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)
	@echo "== tests under AddressSanitizer + UndefinedBehaviorSanitizer =="
	ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --test-dir $(ASAN_BUILD) --output-on-failure -j $(JOBS)

bench: deps
	cmake -S . -B $(BENCH_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DOSTREL_WITH_TESTS=OFF \
	  -DOSTREL_WITH_BENCH=ON
	cmake --build $(BENCH_BUILD) -j $(JOBS)
	@sh bench/run.sh $(BENCH_BUILD)

fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DOSTREL_FUZZ=ON
	cmake --build $(FUZZ_BUILD) -j $(JOBS)
	@sh fuzz/run.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

tidy: build
	run-clang-tidy -p $(BUILD) -j $(JOBS) -quiet '$(CURDIR)/(src|tools)/'

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD)
