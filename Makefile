# Front door for the common tasks; CMake and Ninja do the building.
WERROR ?= OFF
# A hung test fails after ten minutes instead of stalling the run.
CTEST = ctest --output-on-failure --timeout 600
CMAKE_FLAGS = -G Ninja -DFERROVANE_WERROR=$(WERROR)

.PHONY: all deps run test test-asan test-tsan bench clean format format-check package package-check

all: deps
	cmake -S . -B build $(CMAKE_FLAGS)
	cmake --build build

deps:
	@scripts/install-deps

# Installs what is missing, builds and starts the desktop program where there is
# a display, else the command-line program's watch: on a first run, the download
# folder. Quitting (Ctrl+C for the watch) stops it and saves everything. The data
# stays where an installed Ferrovane keeps it, not in build/, which a clean wipes.
DATA_DIR ?= $(or $(FERROVANE_DATA),$(or $(XDG_DATA_HOME),$(HOME)/.local/share)/ferrovane/SAVE)

run: deps
	cmake -S . -B build $(CMAKE_FLAGS)
	cmake --build build --target ferrovane-cli ferrovane
	if [ -n "$$DISPLAY$$WAYLAND_DISPLAY" ]; then \
		build/app/gui/ferrovane --data-dir "$(DATA_DIR)"; \
	else \
		build/cli/ferrovane-cli --data-dir "$(DATA_DIR)" watch; \
	fi

test: all
	$(CTEST) --test-dir build

# Every unit test again under AddressSanitizer and UndefinedBehaviorSanitizer.
test-asan: deps
	cmake -S . -B build-asan $(CMAKE_FLAGS) -DCMAKE_BUILD_TYPE=Debug -DFERROVANE_SANITIZE=address
	cmake --build build-asan
	$(CTEST) --test-dir build-asan

# The concurrency tests under ThreadSanitizer.
test-tsan: deps
	cmake -S . -B build-tsan $(CMAKE_FLAGS) -DCMAKE_BUILD_TYPE=Debug -DFERROVANE_SANITIZE=thread
	cmake --build build-tsan --target concurrency_test_programs
	$(CTEST) --test-dir build-tsan -L concurrency

# The Debian package, build/ferrovane_VERSION_ARCH.deb, from the build folder
# (a build already made is reused; pass the same WERROR as for it).
package: all
	cmake --build build --target package

# The package checked: no lintian error or warning, exactly the expected files.
package-check: package
	scripts/package-check

clean:
	rm -rf build build-asan build-tsan build-bench

format:
	git ls-files '*.h' '*.cpp' | xargs clang-format -i

# Fails on any source file that clang-format would change, or whose includes go
# around the layers' include roots.
format-check: deps
	git ls-files '*.h' '*.cpp' | xargs clang-format --dry-run --Werror
	scripts/check-includes
