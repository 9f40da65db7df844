# The two commands: `make run` and `make test`. Both install what is missing first.
BUILD ?= build
SANITIZE_BUILD ?= build-sanitize
TSAN_BUILD ?= build-tsan
FUZZ_BUILD ?= build-fuzz
SECONDS ?= 60
BUILD_TYPE ?= RelWithDebInfo
WERROR ?= $(if $(CI),ON,OFF)
JOBS ?= $(shell nproc)
# The sanitizer and fuzzing folders compile through ccache when it is there.
LAUNCHER := $(if $(shell command -v ccache),-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
# CI keeps line tables only (-g1): enough for every backtrace and sanitizer report, and about a
# third less compiling than full debug information.
DEBUG_INFO := $(if $(CI),-DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG" \
    -DCMAKE_CXX_FLAGS_DEBUG="-O0 -g1")

.PHONY: all deps configure build install test test-sanitize test-tsan fuzz fuzz-build fuzz-ci run screenshots bench format-check clean

all: build

deps:
	@bash scripts/setup-deps.sh

$(BUILD)/build.ninja: CMakeLists.txt | deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) -DTKV_WERROR=$(WERROR) \
	    $(DEBUG_INFO)

configure: deps $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD) -j $(JOBS)

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS) --timeout 600

# The engine and platform tests under AddressSanitizer and UndefinedBehaviorSanitizer.
test-sanitize: deps
	cmake -S . -B $(SANITIZE_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTKV_WERROR=$(WERROR) \
	    -DTKV_SANITIZE=ON -DTKV_SANITIZE_ONLY_CORE=ON $(DEBUG_INFO)
	cmake --build $(SANITIZE_BUILD) -j $(JOBS)
	cd $(SANITIZE_BUILD) && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	    ctest --output-on-failure -j $(JOBS) -L 'engine|platform|media' --timeout 900

# The tests whose programs run threads (labels "*-threads") under ThreadSanitizer. Qt is not
# built for it: tests/support/tsan-suppressions.txt silences reports inside Qt only.
TSAN_TESTS = tkv_platform_sync_tests tkv_engine_filter_tests tkv_engine_playback_tests \
    tkv_app_tests tkv_events_editor_tests tkv_media_video_tests tkv_media_video_window_tests \
    tkv_media_filters_tests
test-tsan: deps
	cmake -S . -B $(TSAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTKV_WERROR=$(WERROR) \
	    -DTKV_SANITIZE=thread $(LAUNCHER) $(DEBUG_INFO)
	cmake --build $(TSAN_BUILD) -j $(JOBS) --target $(TSAN_TESTS)
	cd $(TSAN_BUILD) && \
	    TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 suppressions=$(CURDIR)/tests/support/tsan-suppressions.txt" \
	    ctest --output-on-failure -j $(JOBS) -L threads --timeout 900

# libFuzzer harnesses (tests/fuzz), built with clang, ASan and UBSan in their own folder. Not
# with -Werror: FFmpeg's own macros trip clang's -Wpedantic; the gcc builds hold the line.
fuzz-build: deps
	@bash scripts/setup-fuzz-deps.sh
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	    -DTKV_SANITIZE=fuzzer -DTKV_BUILD_BENCHMARKS=OFF $(LAUNCHER) $(DEBUG_INFO)
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target tkv_fuzzers

# Each harness for SECONDS seconds (make fuzz SECONDS=600), after its kept reproducers.
fuzz: fuzz-build
	bash scripts/fuzz.sh $(FUZZ_BUILD) $(SECONDS)

# CI's short pass: the reproducers, then about a minute of fuzzing in all.
fuzz-ci: fuzz-build
	bash scripts/fuzz.sh $(FUZZ_BUILD) 8

# The programs, the desktop entry, the icons and the project MIME type under PREFIX; DESTDIR
# stages them for a package.
PREFIX ?= /usr/local
install: build
	DESTDIR=$(DESTDIR) cmake --install $(BUILD) --prefix $(PREFIX)

run: build
	@$(BUILD)/app/tkv

# The real window on a virtual display, saved as pictures in screenshots/.
screenshots: build
	BUILD=$(BUILD) bash scripts/screenshots.sh screenshots

bench: build
	python3 bench/compare.py $(BUILD)/bench/tkv_engine_bench

format-check: deps
	clang-format --dry-run --Werror $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD) $(TSAN_BUILD) $(FUZZ_BUILD)
