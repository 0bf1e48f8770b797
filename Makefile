# Quick start: `make demo` and `make test`. Both install what is missing first.
BUILD      ?= build
BENCHBUILD ?= build-bench
FUZZBUILD  ?= build-fuzz
PACKAGEBUILD ?= build-package
PACKAGE_OPTIONS ?=
JOBS       ?= $(shell nproc)
FUZZ_SECONDS ?= 60

.PHONY: deps configure build test demo bench fuzz package format clean

deps:
	@scripts/install-deps

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Debug -DTABULON_SANITIZE=ON

configure: deps $(BUILD)/CMakeCache.txt

build: configure
	cmake --build $(BUILD) -j $(JOBS)

test: build
	scripts/check-layers
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS) --timeout 300

demo: build
	scripts/run-demo $(BUILD)

bench: deps
	cmake -S . -B $(BENCHBUILD) -DCMAKE_BUILD_TYPE=Release -DTABULON_TESTS=OFF -DTABULON_BENCH=ON
	cmake --build $(BENCHBUILD) -j $(JOBS)
	scripts/run-bench $(BENCHBUILD)

fuzz: deps
	CXX=clang++ CC=clang cmake -S . -B $(FUZZBUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTABULON_TESTS=OFF -DTABULON_FUZZ=ON
	cmake --build $(FUZZBUILD) -j $(JOBS)
	scripts/run-fuzz $(FUZZBUILD) $(FUZZ_SECONDS)

# The Debian package, from a release build with Debian's hardening flags, checked by
# lintian and the desktop and AppStream validators.
package: deps
	cmake -S . -B $(PACKAGEBUILD) -DCMAKE_BUILD_TYPE=Release -DTABULON_TESTS=OFF \
	  -DCMAKE_INSTALL_PREFIX=/usr -DCMAKE_POSITION_INDEPENDENT_CODE=ON \
	  "-DCMAKE_CXX_FLAGS=$$(dpkg-buildflags --get CXXFLAGS) $$(dpkg-buildflags --get CPPFLAGS)" \
	  "-DCMAKE_EXE_LINKER_FLAGS=$$(dpkg-buildflags --get LDFLAGS)" $(PACKAGE_OPTIONS)
	cmake --build $(PACKAGEBUILD) -j $(JOBS)
	cd $(PACKAGEBUILD) && cpack -G DEB
	scripts/check-package $(PACKAGEBUILD)/tabulon_*.deb

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(BENCHBUILD) $(FUZZBUILD) $(PACKAGEBUILD)
