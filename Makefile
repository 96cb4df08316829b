# Thin wrapper over CMake. `make run` and `make test` are the whole set-up on a
# fresh Debian 12 machine: both install what is missing first.
BUILD ?= build
PACKAGES := g++ cmake ninja-build qt6-base-dev qt6-translations-l10n libsqlite3-dev \
            fonts-liberation libbenchmark-dev
SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: deps build run test bench fuzz soak clean

# Only the fuzzers need clang and its sanitizer runtime.
FUZZ_PACKAGES := clang libclang-rt-14-dev

deps:
	@missing=""; for p in $(PACKAGES) $(EXTRA_PACKAGES); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "install ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  $(SUDO) apt-get update && DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y $$missing; \
	fi

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD)

run: build
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ]; then \
	  echo "Kein Bildschirm gefunden: starten Sie das Spiel in einer Desktop-Sitzung mit 'make run', oder zum Ausprobieren mit 'xvfb-run $(BUILD)/quiz'."; \
	  exit 1; \
	fi
	$(BUILD)/quiz

test: build
	cd $(BUILD) && ctest --output-on-failure

# bench_quizdb compares quizdb with the sqlite3 shell.
bench: build
	$(MAKE) deps EXTRA_PACKAGES="sqlite3"
	cmake --build $(BUILD) --target benchmarks
	@for b in $(BUILD)/bench/bench_*; do [ -x "$$b" ] && "$$b"; done

# The two libFuzzer targets, built with clang and the address and undefined-
# behaviour sanitizers in their own build directory, each run for a bounded time
# on a fresh copy of the committed seeds. A crash stops with the input saved as
# $(FUZZ_BUILD)/fuzz/<target>-crash-*.
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
fuzz:
	$(MAKE) deps EXTRA_PACKAGES="$(FUZZ_PACKAGES)"
	cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ -DQUIZ_FUZZ=ON
	cmake --build $(FUZZ_BUILD) --target fuzz_csv fuzz_questionfile
	@for t in csv questionfile; do \
	  rm -rf $(FUZZ_BUILD)/corpus/$$t && mkdir -p $(FUZZ_BUILD)/corpus/$$t && \
	  cp fuzz/seeds/$$t/* $(FUZZ_BUILD)/corpus/$$t/ && \
	  echo "== fuzz_$$t, $(FUZZ_SECONDS) s ==" && \
	  $(FUZZ_BUILD)/fuzz/fuzz_$$t -max_total_time=$(FUZZ_SECONDS) -timeout=10 -rss_limit_mb=2048 \
	    -print_final_stats=1 -artifact_prefix=$(FUZZ_BUILD)/fuzz/$$t- $(FUZZ_BUILD)/corpus/$$t || exit 1; \
	done

# The crash test in full: 200 kills of a process in the middle of saving
# (ctest runs a reduced count).
soak: build
	cmake --build $(BUILD) --target tst_store_crash
	QUIZ_SOAK=1 $(BUILD)/tests/tst_store_crash

clean:
	rm -rf $(BUILD) $(FUZZ_BUILD)
