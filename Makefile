# Set-up and build commands for a Debian 12 machine; see README.md.
PACKAGES := cmake g++ make qt6-base-dev libqcustomplot-dev libcanberra-dev pkg-config fonts-liberation \
            xvfb xauth imagemagick xdotool clang-format locales iproute2 dbus-daemon
JOBS ?= 2

PACKAGE_TOOLS := dpkg-dev lintian desktop-file-utils appstream man-db

# The Windows build: cross compilers, Qt's host tools of the version that is built, the tools
# that fetch and unpack Debian's sources, Wine to run the result, NSIS to pack the installer.
WINDOWS_PACKAGES := g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix \
                    binutils-mingw-w64-x86-64 qt6-base-dev-tools ninja-build dpkg-dev patch \
                    wine64 nsis zip unzip xvfb xauth xdotool imagemagick fonts-liberation

.PHONY: deps install-packages build build-program build-asan run test bench demo package install \
        uninstall screenshots fuzz format clean windows test-windows

deps:
	@$(MAKE) --no-print-directory install-packages WANTED="$(PACKAGES)"
	@# The tests also run under a decimal-comma locale.
	@locale -a | grep -qix 'de_DE\.utf-\?8' || { echo "Generating the de_DE.UTF-8 locale"; \
	    $$( [ "$$(id -u)" -eq 0 ] || echo sudo ) localedef -i de_DE -f UTF-8 de_DE.UTF-8; }

install-packages:
	@missing=$$(for p in $(WANTED); do dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null \
	    | grep -q 'install ok installed' || echo $$p; done); \
	if [ -n "$$missing" ]; then \
	    echo "Installing:$$missing"; \
	    SUDO=$$( [ "$$(id -u)" -eq 0 ] || echo sudo ); \
	    $$SUDO apt-get update -qq && \
	    DEBIAN_FRONTEND=noninteractive $$SUDO apt-get install -y -qq --no-install-recommends $$missing; \
	fi

build: deps
	cmake --preset release >/dev/null
	cmake --build --preset release -j $(JOBS)

# Only the program, for a first run that shows the window soon.
build-program: deps
	cmake --preset release >/dev/null
	cmake --build --preset release -j $(JOBS) --target vantorel

build-asan: deps
	cmake --preset asan >/dev/null
	cmake --build --preset asan -j $(JOBS)

run: build-program
	./build/release/vantorel

test: build build-asan
	ctest --preset release -j $(JOBS)
	ctest --preset asan -j $(JOBS)

clean:
	rm -rf build

# Vantorel for Windows: build/windows/Vantorel-VERSION-win64.zip and -setup.exe. Qt and
# QCustomPlot for Windows are built once into ~/.cache/vantorel (about 17 minutes).
windows: deps
	@$(MAKE) --no-print-directory install-packages WANTED="$(WINDOWS_PACKAGES)"
	cmake --preset release >/dev/null
	cmake --build --preset release -j $(JOBS) --target vantorel-send
	VANTOREL_HOST_SENDER=$(CURDIR)/build/release/vantorel-send JOBS=$(JOBS) packaging/windows/build.sh

# Every test of the Windows build under Wine, then the zip and the installer.
test-windows: windows
	@# The tests' Wine prefixes (one per locale) are made once, before the tests start side by side.
	build/windows/build/wine-run.sh cmd /c exit 0
	LANG=de_DE.UTF-8 LC_ALL=de_DE.UTF-8 VANTOREL_TEST_COMMA_LOCALE=1 build/windows/build/wine-run.sh cmd /c exit 0
	ctest --preset windows -j $(JOBS)
	packaging/windows/check.sh

# Offscreen first (every figure), then on a display server of its own (xcb under Xvfb).
bench: build
	QT_QPA_PLATFORM=offscreen ./build/release/vantorel-bench
	xvfb-run -a -s "-screen 0 1280x1024x24" env QT_QPA_PLATFORM=xcb ./build/release/vantorel-bench

# Only the two programs the demo runs, so that the window shows soon on a first run.
demo: deps
	cmake --preset release >/dev/null
	cmake --build --preset release -j $(JOBS) --target vantorel vantorel-send
	tools/demo.sh $(if $(SPEED),--speed $(SPEED))

# A Debian package built with Debian's hardening flags, then checked as Debian checks packages.
package: deps
	@$(MAKE) --no-print-directory install-packages WANTED="$(PACKAGE_TOOLS)"
	export DEB_BUILD_MAINT_OPTIONS=hardening=+all; \
	cmake --preset package \
	    -DCMAKE_CXX_FLAGS="$$(dpkg-buildflags --get CXXFLAGS) $$(dpkg-buildflags --get CPPFLAGS)" \
	    -DCMAKE_EXE_LINKER_FLAGS="$$(dpkg-buildflags --get LDFLAGS)" >/dev/null
	cmake --build --preset package -j $(JOBS)
	cd build/package && cpack -G DEB
	lintian --fail-on error,warning build/package/vantorel_*.deb
	desktop-file-validate packaging/org.vantorel.Vantorel.desktop
	appstreamcli validate --no-net packaging/org.vantorel.Vantorel.metainfo.xml

PREFIX ?= /usr/local
# Notes the folders that the installation is about to make (a trial into a staging folder),
# so that "make uninstall" removes them again, and no others.
install: build
	@stage=$$(mktemp -d); \
	DESTDIR=$$stage cmake --install build/release --prefix $(PREFIX) >/dev/null; \
	(cd "$$stage" && find . -mindepth 1 -type d | sed 's|^\.||') | while read -r dir; do \
	    [ -d "$$dir" ] || echo "$$dir"; done | sort -r > build/release/install_dirs.txt; \
	rm -rf "$$stage"
	cmake --install build/release --prefix $(PREFIX)

# Removes what the last "make install" installed, and the folders it made.
uninstall:
	@test -f build/release/install_manifest.txt || { echo "nothing was installed from here"; exit 1; }
	xargs -d '\n' rm -fv < build/release/install_manifest.txt
	@if [ -f build/release/install_dirs.txt ]; then \
	    xargs -r -d '\n' rmdir -v --ignore-fail-on-non-empty < build/release/install_dirs.txt; fi

screenshots: build
	tools/screenshots.sh docs

FUZZ_SECONDS ?= 600
fuzz: deps
	@$(MAKE) --no-print-directory install-packages WANTED="clang"
	cmake --preset fuzz >/dev/null
	cmake --build --preset fuzz -j $(JOBS)
	mkdir -p build/fuzz/corpus && cp -n fuzz/corpus/* build/fuzz/corpus/
	ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS=suppressions=fuzz/lsan.supp \
	    build/fuzz/fuzz_decode -max_total_time=$(FUZZ_SECONDS) \
	    -max_len=4096 -rss_limit_mb=8000 -print_final_stats=1 build/fuzz/corpus

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')
