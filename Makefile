# Two entry points: `make run` and `make test`. Both install what is missing first.
BUILD      ?= build
ASAN_BUILD ?= build-asan
TSAN_BUILD ?= build-tsan
JOBS       ?= $(shell nproc)
CMAKE_GEN  := -G Ninja

.PHONY: deps build build-asan build-tsan test test-fast run bench fuzz clean install package

deps:
	@scripts/install-deps

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORLAUNE_WERROR=ON

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

$(ASAN_BUILD)/build.ninja:
	cmake -S . -B $(ASAN_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DVORLAUNE_WERROR=ON \
	      -DVORLAUNE_SANITIZE=ON -DVORLAUNE_CORE_ONLY=ON -DVORLAUNE_ENGINE=ON

build-asan: deps $(ASAN_BUILD)/build.ninja
	cmake --build $(ASAN_BUILD) -j $(JOBS)

$(TSAN_BUILD)/build.ninja:
	cmake -S . -B $(TSAN_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORLAUNE_WERROR=ON \
	      -DVORLAUNE_TSAN=ON

build-tsan: deps $(TSAN_BUILD)/build.ninja
	cmake --build $(TSAN_BUILD) -j $(JOBS)

# The whole suite; the core suite and the sound engine's again under AddressSanitizer and
# UBSan; the player's tests under ThreadSanitizer.
test: build build-asan build-tsan
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)
	ctest --test-dir $(ASAN_BUILD) --output-on-failure -j $(JOBS)
	ctest --test-dir $(TSAN_BUILD) --output-on-failure -j $(JOBS)

test-fast: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

# Opens the program with the demo song. Without a display it says so and renders the demo
# song to a WAV file instead.
DEMO := resources/demo/vorlaune-demo.mid
run: build
	@if [ -n "$$DISPLAY$$WAYLAND_DISPLAY" ]; then \
	  $(BUILD)/src/app/vorlaune $(DEMO); \
	else \
	  echo "There is no display here (DISPLAY and WAYLAND_DISPLAY are unset):"; \
	  echo "rendering the demo song instead."; \
	  $(BUILD)/src/app/vorlaune -o $(BUILD)/vorlaune-demo.wav $(DEMO) && \
	  echo "The demo song is in $(BUILD)/vorlaune-demo.wav"; \
	fi

# The program, its fonts, defaults, demo song, desktop entry, icons and manual page, for
# the program to find under PREFIX wherever it is run from.
PREFIX ?= /usr/local
install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

# A Debian package of the same files under /usr, then lintian's opinion of it: errors
# fail, warnings are listed.
package: build
	cd $(BUILD) && cpack -G DEB
	lintian --fail-on error --info $(BUILD)/vorlaune_*.deb

bench: build
	@for b in $(BUILD)/bench/bench_*; do echo "== $$b"; $$b; done

fuzz:
	fuzz/run 60

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(TSAN_BUILD) fuzz/out
