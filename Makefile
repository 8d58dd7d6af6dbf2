# Two commands for a fresh Debian 12 machine: `make run` and `make test`.
BUILD ?= build
DEMO  ?= $(CURDIR)/demo
# What building and running need; the tests, the package and the format check add their own.
PAQUETES = cmake ninja-build g++ ccache qt6-base-dev qt6-serialport-dev libsimpleini-dev libsqlite3-dev libgl-dev \
           qt6-qpa-plugins qt6-charts-dev libqt6sql6-sqlite libqt6svg6 qt6-translations-l10n
PAQUETES_PAQUETE = dpkg-dev file fakeroot desktop-file-utils lintian
PAQUETES_PRUEBA = libqt6sql6-psql ser2net postgresql $(PAQUETES_PAQUETE)
# The window benchmarks run the program under a desktop of their own.
PAQUETES_BANCO = xvfb openbox xdotool python3-xlib imagemagick
JOBS ?= $(shell nproc)
# The compiler cache serves any checkout of this tree, wherever it lies.
export CCACHE_BASEDIR ?= $(CURDIR)
export CCACHE_NOHASHDIR ?= 1

.PHONY: all deps deps-prueba deps-banco deps-paquete deps-formato deps-fuzz configure build programs run test test-san fuzz bench clean format formato-verificar paquete

all: build

# Installs the Debian packages of $(1) that are missing (as root), or says how to.
define instalar
	@falta=""; for p in $(1); do \
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
endef

deps:
	$(call instalar,$(PAQUETES))

deps-prueba: deps
	$(call instalar,$(PAQUETES_PRUEBA))

deps-banco: deps
	$(call instalar,$(PAQUETES_BANCO))

deps-paquete: deps
	$(call instalar,$(PAQUETES_PAQUETE))

deps-formato:
	$(call instalar,clang-format)

deps-fuzz:
	$(call instalar,clang libfuzzer-14-dev libclang-rt-14-dev)

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
paquete: deps-paquete programs
	cd $(BUILD) && cpack -G DEB

# The suite mostly waits on lines and timers (its whole CPU time is some 15 s), so four run at
# once even on two cores: the 45-second waits of cut and overlong dumps then overlap.
CTEST_J ?= 4
test: deps-prueba build
	cd $(BUILD) && ctest --output-on-failure -j $(CTEST_J)

bench: deps-banco build
	@for b in $(BUILD)/bench/bench_*; do [ -x "$$b" ] && { echo "== $$b"; "$$b"; }; done; true

# The whole suite again under AddressSanitizer and UndefinedBehaviorSanitizer (gcc).
BUILD_SAN ?= build-san
SAN_FLAGS = -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined
test-san: deps-prueba
	cmake -S . -B $(BUILD_SAN) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g" \
	  -DCMAKE_CXX_FLAGS="$(SAN_FLAGS)" -DCMAKE_EXE_LINKER_FLAGS="$(SAN_FLAGS)" -DAQ_BANCOS=OFF \
	  $$(command -v ccache >/dev/null && echo -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
	cmake --build $(BUILD_SAN) -j $(JOBS)
	cd $(BUILD_SAN) && UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
	  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 ctest --output-on-failure -j 2

# libFuzzer targets (clang): each runs FUZZ_S seconds on a copy of its seed corpus; a crash
# stops the run and leaves its input in $(BUILD_FUZZ)/hallazgos/.
BUILD_FUZZ ?= build-fuzz
FUZZ_S ?= 60
fuzz: deps deps-fuzz
	cmake -S . -B $(BUILD_FUZZ) -G Ninja -DAQ_FUZZ=ON -DCMAKE_CXX_COMPILER=clang++ \
	  -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  $$(command -v ccache >/dev/null && echo -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
	cmake --build $(BUILD_FUZZ) -j $(JOBS) --target fuzz_todos
	@scripts/fuzz.sh "$(BUILD_FUZZ)" "$(FUZZ_S)"

format: deps-formato
	clang-format -i $$(git ls-files '*.cpp' '*.h')

formato-verificar: deps-formato
	clang-format --dry-run --Werror $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD) $(BUILD_SAN) $(BUILD_FUZZ)
