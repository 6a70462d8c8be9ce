# Set-up and everyday commands. `make run` and `make test` work on a fresh Debian 12 machine:
# they install whatever Debian packages are missing, build with CMake/Ninja and run.

BUILD      ?= build
ASAN_BUILD ?= $(BUILD)/asan
BENCH_BUILD ?= $(BUILD)/bench
FUZZ_BUILD ?= $(BUILD)/fuzz
FUZZ_SECONDS ?= 60
JOBS       ?= $(shell nproc)

PACKAGE_BUILD ?= $(BUILD)/package

# Debian packages by what needs them: `make run` needs only the first list.
PACKAGES := cmake ninja-build g++ qt6-base-dev libqscintilla2-qt6-dev ccache libx11-dev \
            libgtest-dev libgmock-dev fonts-dejavu-core gcc-avr avr-libc binutils-avr \
            qt6-serialport-dev avrdude
TEST_PACKAGES := desktop-file-utils appstream xvfb xauth xdotool dbus-daemon dbus-bin at-spi2-core
PACKAGE_PACKAGES := dpkg-dev file
BENCH_PACKAGES := xvfb xauth dbus-daemon dbus-bin at-spi2-core
FUZZ_PACKAGES := clang libclang-rt-14-dev
TIDY_PACKAGES := clang-tidy

SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

# $(call install-missing,PACKAGES): apt-get install those that are not installed yet.
define install-missing
@missing=""; \
for p in $(1); do \
  dpkg -s $$p 2>/dev/null | grep -q '^Status: install ok installed' || missing="$$missing $$p"; \
done; \
if [ -n "$$missing" ]; then \
  echo "Installing:$$missing"; \
  $(SUDO) apt-get update && \
  $(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends $$missing; \
fi
endef

.PHONY: deps build asan run test bench fuzz package format tidy clean

deps:
	$(call install-missing,$(PACKAGES))

build: deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j $(JOBS)

asan: deps
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DOSTREL_SANITIZE=ON
	cmake --build $(ASAN_BUILD) -j $(JOBS)

run: build
	@sh tools/prepare-example.sh $(BUILD)
	$(BUILD)/bin/ostrel

test: build asan
	$(call install-missing,$(TEST_PACKAGES))
	@echo "== tests =="
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)
	@echo "== tests under AddressSanitizer + UndefinedBehaviorSanitizer =="
	ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --test-dir $(ASAN_BUILD) --output-on-failure -j $(JOBS)

# The benchmarks time the Release build as the package ships it, in the build tree and
# installed (through the bin/ link of a DESTDIR install).
bench: deps
	$(call install-missing,$(BENCH_PACKAGES))
	cmake -S . -B $(BENCH_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DOSTREL_WITH_TESTS=OFF \
	  -DOSTREL_WITH_BENCH=ON
	cmake --build $(BENCH_BUILD) -j $(JOBS)
	rm -rf $(BENCH_BUILD)/installed
	DESTDIR=$(CURDIR)/$(BENCH_BUILD)/installed cmake --install $(BENCH_BUILD) --prefix /usr --strip
	@sh bench/run.sh $(BENCH_BUILD) $(BENCH_BUILD)/installed/usr/bin/ostrel

fuzz: deps
	$(call install-missing,$(FUZZ_PACKAGES))
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DOSTREL_FUZZ=ON
	cmake --build $(FUZZ_BUILD) -j $(JOBS)
	@sh fuzz/run.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

tidy: build
	$(call install-missing,$(TIDY_PACKAGES))
	run-clang-tidy -p $(BUILD) -j $(JOBS) -quiet '$(CURDIR)/(src|tools)/'

# ostrel_<version>_<arch>.deb in $(BUILD)/, from a Release build of the program alone.
package: deps
	$(call install-missing,$(PACKAGE_PACKAGES))
	cmake -S . -B $(PACKAGE_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DOSTREL_WITH_TESTS=OFF
	cmake --build $(PACKAGE_BUILD) -j $(JOBS)
	cd $(PACKAGE_BUILD) && cpack -G DEB
	cp $(PACKAGE_BUILD)/ostrel_*.deb $(BUILD)/
	@ls $(BUILD)/ostrel_*.deb

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD)
