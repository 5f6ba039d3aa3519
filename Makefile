# make run   installs what is missing, builds and starts the game
# make test  installs what is missing, builds and runs every test (normal, sanitizers, fuzzers)
.PHONY: deps build run test format format-check test-default test-asan fuzz bench clean

GAME := build/default/ui/kestrova

deps:
	@scripts/install-deps.sh

build: deps
	cmake --preset default
	cmake --build --preset default

run: build
	$(GAME)

test-default: deps
	cmake --preset default
	cmake --build --preset default
	QT_QPA_PLATFORM=offscreen ctest --preset default

test-asan: deps
	cmake --preset asan
	cmake --build --preset asan
	QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/scripts/lsan.supp:print_suppressions=0 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --preset asan

fuzz: deps
	scripts/run-fuzzers.sh

# Every C++ file of the tree, as git knows it.
SOURCES = $(shell git ls-files '*.cpp' '*.h')

format:
	$(if $(SOURCES),clang-format -i $(SOURCES))

format-check: deps
	@$(if $(SOURCES),clang-format --dry-run --Werror $(SOURCES) || { echo "Fichiers non formatés : lancer make format"; exit 1; })

test: format-check test-default test-asan fuzz

bench: build
	@for b in build/default/bench/*/bench_*; do [ -x "$$b" ] && "$$b"; done

clean:
	rm -rf build
