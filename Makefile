# make run   installs what is missing, builds, and starts kestrane beside the sample data set
# make run-batch  the same for kestrane_batch in a folder of its own (type kestrel_ridge.lst at its first prompt)
# make test  installs what is missing, builds, and runs the whole test suite twice:
#            once as built for use, once under the address and undefined-behaviour sanitizers
#            (there a sanitizer report ends a program with status 86, which no program path uses)
BUILD      ?= build
ASAN_BUILD ?= build-asan
JOBS       ?= $(shell nproc)
DEPS = build-essential cmake ninja-build pkg-config libgtest-dev libbenchmark-dev \
       libplplot-dev plplot-driver-cairo plplot-driver-xwin xvfb xauth ghostscript

.PHONY: deps build run run-batch test test-plain test-asan clean

deps:
	@missing=""; for p in $(DEPS); do dpkg -s $$p >/dev/null 2>&1 || missing="$$missing $$p"; done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $$missing; \
	fi

build: deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j $(JOBS)

run: build
	mkdir -p run
	cp -n sample/* run/ 2>/dev/null || true
	cd run && ../$(BUILD)/kestrane

run-batch: build
	mkdir -p run-batch
	cp -n sample/* run-batch/ 2>/dev/null || true
	cd run-batch && ../$(BUILD)/kestrane_batch

test: test-plain test-asan

test-plain: deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKESTRANE_WERROR=ON
	cmake --build $(BUILD) -j $(JOBS)
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

test-asan: deps
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKESTRANE_SANITIZE=ON -DKESTRANE_WERROR=ON
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ASAN_OPTIONS=abort_on_error=0:halt_on_error=1:detect_leaks=1:exitcode=86 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1:exitcode=86 ctest --output-on-failure -j $(JOBS)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) run run-batch
