# Two commands for a fresh Debian 12 machine: `make run` and `make test`.
BUILD ?= build
DEMO  ?= $(CURDIR)/demo
PAQUETES = cmake ninja-build g++ ccache qt6-base-dev qt6-serialport-dev libsimpleini-dev libgl-dev \
           qt6-qpa-plugins qt6-charts-dev libqt6sql6-sqlite libqt6sql6-psql ser2net postgresql \
           dpkg-dev file fakeroot desktop-file-utils lintian
JOBS ?= $(shell nproc)

.PHONY: all deps configure build programs run test bench clean format paquete

all: build

deps:
	@falta=""; for p in $(PAQUETES); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "ok installed" || falta="$$falta $$p"; \
	done; \
	if [ -n "$$falta" ]; then \
	  if [ "$$(id -u)" = 0 ]; then \
	    echo "Instalando:$$falta"; \
	    apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $$falta; \
	  else \
	    echo "Faltan paquetes. Ejecute:"; echo "  sudo apt-get install -y$$falta"; exit 1; \
	  fi; \
	fi

configure: deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  $$(command -v ccache >/dev/null && echo -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

build: configure
	cmake --build $(BUILD) -j $(JOBS)

# Only what the demonstration needs: quicker than the whole build with tests and benchmarks.
programs: configure
	cmake --build $(BUILD) -j $(JOBS) --target aqtide aqtide-sim aqtide-cli

# Starts the simulated logger on a pseudo-terminal and the supervisor on it, with its own
# settings file and folders under demo/ (nothing in the user's configuration is touched).
run: programs
	@scripts/demo.sh "$(BUILD)" "$(DEMO)"

# The Debian package build/aqtide_<version>_<arch>.deb (programs, manual, menu entry, icon).
paquete: programs
	cd $(BUILD) && cpack -G DEB

test: build
	cd $(BUILD) && ctest --output-on-failure -j 2

bench: build
	@for b in $(BUILD)/bench/bench_*; do [ -x "$$b" ] && { echo "== $$b"; "$$b"; }; done; true

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD)
