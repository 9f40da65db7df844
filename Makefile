# The two commands: `make run` and `make test`. Both install what is missing first.
BUILD ?= build
SANITIZE_BUILD ?= build-sanitize
BUILD_TYPE ?= RelWithDebInfo
WERROR ?= $(if $(CI),ON,OFF)
JOBS ?= $(shell nproc)

.PHONY: all deps configure build install test test-sanitize run screenshots bench format-check clean

all: build

deps:
	@bash scripts/setup-deps.sh

$(BUILD)/build.ninja: CMakeLists.txt | deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) -DTKV_WERROR=$(WERROR)

configure: deps $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD) -j $(JOBS)

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS) --timeout 600

# The engine and platform tests under AddressSanitizer and UndefinedBehaviorSanitizer.
test-sanitize: deps
	cmake -S . -B $(SANITIZE_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTKV_WERROR=$(WERROR) \
	    -DTKV_SANITIZE=ON -DTKV_SANITIZE_ONLY_CORE=ON
	cmake --build $(SANITIZE_BUILD) -j $(JOBS)
	cd $(SANITIZE_BUILD) && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	    ctest --output-on-failure -j $(JOBS) -L 'engine|platform|media' --timeout 900

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
	rm -rf $(BUILD) $(SANITIZE_BUILD)
