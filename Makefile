# SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Thin wrapper over CMake. `make run` and `make test` are the whole set-up on a
# fresh Debian 12 machine: both install what is missing first (with sudo when
# not run as root). Build and play as your own user, so that the question file
# in build/ belongs to you.
BUILD ?= build
QUESTIONS := $(BUILD)/Zada-VI-VOZ.mdb
PACKAGES := g++ cmake ninja-build qt6-base-dev qt6-translations-l10n qt6-multimedia-dev libsqlite3-dev \
            fonts-liberation desktop-file-utils appstream reuse locales \
            qt6-svg-dev librsvg2-bin pkg-config mdbtools-dev libmdb3
SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: deps configure build run screenshot test bench package fuzz soak clean

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
	@locale -a 2>/dev/null | grep -qix 'de_DE\.utf-\?8' || { \
	  echo "Erzeuge die Locale de_DE.UTF-8 (für den zweiten Testlauf)"; \
	  grep -q '^de_DE.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null || \
	    echo 'de_DE.UTF-8 UTF-8' | $(SUDO) tee -a /etc/locale.gen >/dev/null; \
	  $(SUDO) locale-gen; }

# CMAKE_ARGS: more options, for a new build folder as for one configured
# before (CI: -DQUIZ_WERROR=ON); they stay in its cache.
configure: deps
	@if [ ! -f $(BUILD)/build.ninja ]; then \
	  echo cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_ARGS); \
	  cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_ARGS); \
	elif [ -n "$(strip $(CMAKE_ARGS))" ]; then \
	  echo cmake -S . -B $(BUILD) $(CMAKE_ARGS); \
	  cmake -S . -B $(BUILD) $(CMAKE_ARGS); \
	fi

build: configure
	cmake --build $(BUILD)

# The display is looked for first: without one nothing is built in vain. Only
# the game, its sound, the tool and the question file are built.
run:
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ]; then \
	  echo "Kein Bildschirm gefunden: das Spiel braucht eine Desktop-Sitzung; starten Sie es dort mit 'make run'."; \
	  echo "Ohne Bildschirm zeigt 'make screenshot' das Spielfenster als Bild ($(BUILD)/screenshot.png)."; \
	  exit 1; \
	fi
	$(MAKE) configure
	cmake --build $(BUILD) --target quiz questionfile
	$(BUILD)/plomberg-quiz

# The game window after start-up on the shipped questions, drawn offscreen:
# needs no display.
screenshot: configure
	cmake --build $(BUILD) --target screenshot defaultquestions
	$(BUILD)/screenshot $(BUILD)/default/Zada-VI-VOZ.mdb $(BUILD)/screenshot.png

# Twice: as the caller runs it, and as on a German desktop, where the C
# library reads numbers with a decimal comma.
# The tests are independent of each other and run side by side, two per core:
# they spend much of their time waiting for the programs they start, for locks
# and for timers.
TEST_JOBS ?= $(shell echo $$(( $$(nproc) * 2 )))
test: build
	cd $(BUILD) && ctest --output-on-failure -j $(TEST_JOBS)
	@echo "== Noch einmal unter LC_ALL=de_DE.UTF-8 =="
	cd $(BUILD) && LC_ALL=de_DE.UTF-8 ctest --output-on-failure -j $(TEST_JOBS)

# The Debian package, in a build directory of its own with the prefix /usr and
# the programs in /usr/games:
# $(PACKAGE_BUILD)/package/plomberg-quiz_<version>_<arch>.deb.
PACKAGE_BUILD ?= build-package
PACKAGE_PACKAGES := dpkg-dev file
# Compiled and linked with Debian's hardening flags, as Debian's own packages are.
package: export DEB_BUILD_MAINT_OPTIONS = hardening=+all
package:
	$(MAKE) deps EXTRA_PACKAGES="$(PACKAGE_PACKAGES)"
	cmake -S . -B $(PACKAGE_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
	  -DCMAKE_INSTALL_BINDIR=games -DQUIZ_BUILD_TESTS=OFF -DQUIZ_BUILD_BENCHMARKS=OFF \
	  -DCMAKE_CXX_FLAGS="$$(dpkg-buildflags --get CPPFLAGS) $$(dpkg-buildflags --get CXXFLAGS)" \
	  -DCMAKE_EXE_LINKER_FLAGS="$$(dpkg-buildflags --get LDFLAGS)" \
	  -DCMAKE_MODULE_LINKER_FLAGS="$$(dpkg-buildflags --get LDFLAGS)"
	cmake --build $(PACKAGE_BUILD) --target package

# bench_quizdb compares quizdb with the sqlite3 shell. The clock run of
# bench_timers lasts QUIZ_BENCH_CLOCK_SECONDS (60 s unless set; 600 s under
# make soak). Only the programs run, not the folders beside them.
bench: configure
	$(MAKE) deps EXTRA_PACKAGES="sqlite3"
	cmake --build $(BUILD) --target benchmarks
	@for b in $(BUILD)/bench/bench_*; do \
	  if [ -f "$$b" ] && [ -x "$$b" ]; then "$$b" || exit 1; fi; \
	done

# The libFuzzer targets, built with clang and the address and undefined-
# behaviour sanitizers in their own build directory, each run for a bounded time
# on a fresh copy of the committed seeds. A crash stops with the input saved as
# $(FUZZ_BUILD)/fuzz/<target>-crash-*.
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
fuzz:
	$(MAKE) deps EXTRA_PACKAGES="$(FUZZ_PACKAGES)"
	cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
	  -DQUIZ_BUILD_FUZZERS=ON -DQUIZ_BUILD_TESTS=OFF -DQUIZ_BUILD_BENCHMARKS=OFF
	cmake --build $(FUZZ_BUILD) --target fuzz_csv fuzz_questionfile
	@for t in csv questionfile; do \
	  rm -rf $(FUZZ_BUILD)/corpus/$$t && mkdir -p $(FUZZ_BUILD)/corpus/$$t && \
	  cp fuzz/seeds/$$t/* $(FUZZ_BUILD)/corpus/$$t/ && \
	  echo "== fuzz_$$t, $(FUZZ_SECONDS) s ==" && \
	  $(FUZZ_BUILD)/fuzz/fuzz_$$t -max_total_time=$(FUZZ_SECONDS) -timeout=10 -rss_limit_mb=2048 \
	    -print_final_stats=1 -artifact_prefix=$(FUZZ_BUILD)/fuzz/$$t- $(FUZZ_BUILD)/corpus/$$t || exit 1; \
	done

# The long runs: the crash test in full, 200 kills of a process in the middle
# of saving (ctest runs a reduced count), and ten minutes of the clock.
soak: configure
	cmake --build $(BUILD) --target tst_store_crash bench_timers
	QUIZ_SOAK=1 $(BUILD)/tests/tst_store_crash
	QUIZ_BENCH_CLOCK_SECONDS=600 $(BUILD)/bench/bench_timers

# The question file in the build folder holds the player's own questions:
# it stays unless FORCE=1.
clean:
ifeq ($(FORCE),1)
	@[ ! -f $(QUESTIONS) ] || echo "Achtung: $(QUESTIONS) wird mit allen Fragen darin gelöscht."
	rm -rf $(BUILD) $(FUZZ_BUILD) $(PACKAGE_BUILD)
else
	@[ ! -f $(QUESTIONS) ] || echo "Achtung: 'make clean FORCE=1' löscht auch $(QUESTIONS) mit Ihren Fragen; sie bleibt jetzt erhalten."
	@[ ! -d $(BUILD) ] || find $(BUILD) -mindepth 1 -maxdepth 1 ! -name Zada-VI-VOZ.mdb -exec rm -rf {} +
	rm -rf $(FUZZ_BUILD) $(PACKAGE_BUILD)
endif
