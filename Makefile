# The two commands of the README are `make run` and `make test`; both set up what is missing.
BUILD := build
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo

.PHONY: all deps configure build run test bench soak mutantes cobertura paquete clean

all: build

deps:
	@scripts/instalar-paquetes.sh

$(BUILD)/build.ninja: | deps
	cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS)

configure: deps $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD)

run: build
	@scripts/ejecutar-demo.sh

test: build
	@scripts/con-postgresql.sh scripts/con-cups.sh ctest --test-dir $(BUILD) --output-on-failure --timeout 900

bench: build
	@scripts/con-postgresql.sh scripts/bench.sh

soak: build
	@scripts/con-postgresql.sh scripts/soak.sh

# The Debian package, in $(BUILD)/paquete.
paquete: build
	cd $(BUILD) && cpack -G DEB

# Fault injection: every fault of tests/mutantes.txt must make some test fail (not part of `make test`).
mutantes: deps
	@scripts/con-postgresql.sh scripts/con-cups.sh scripts/mutantes.sh

# Line coverage of the product code by the whole suite, from a build of its own (build/cobertura).
cobertura:
	@scripts/instalar-paquetes.sh gcovr
	@scripts/con-postgresql.sh scripts/con-cups.sh scripts/cobertura.sh

clean:
	rm -rf $(BUILD)
