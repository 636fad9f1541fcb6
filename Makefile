# The two commands for a newcomer: `make run` and `make test`. Both install
# what they need first.
BUILD ?= build
JOBS ?= 2

.PHONY: setup layering build build64 test test64 run bench soak clean

setup:
	bash scripts/setup.sh

build: setup
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j$(JOBS)

# Includes run downward and files stay short; takes well under a second.
layering:
	bash scripts/check-layering.sh

test: layering build
	bash scripts/run-tests.sh $(BUILD)

run: build
	bash scripts/run-kavrel.sh $(BUILD)

# The same sources built for 64-bit Windows as well.
build64: setup
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKAVREL_WINDOWS64=ON
	cmake --build $(BUILD) -j$(JOBS)

# The 64-bit sub-build's suites, natively: the quick loop on a machine that
# runs no 32-bit code (make test runs the shipped 32-bit file's suites there
# in the qemu guest).
test64: layering build64
	ctest --test-dir $(BUILD)/windows64 --output-on-failure --timeout 1800 -LE soak-full

# Host benchmarks, then those under Wine in a sub-build that runs natively
# here: the 32-bit one where this machine runs 32-bit code, else the 64-bit
# one (times under emulation would say little).
bench: build
	cmake --build $(BUILD) --target bench
	if scripts/runs-32bit.sh; then d=$(BUILD)/windows; else d=$(BUILD)/windows64; $(MAKE) build64; fi; \
	cmake --build $$d --target e2e_bench

# Every button pressed 1,000 times (make test presses each 100 times), in
# the qemu guest where this machine runs no 32-bit code.
soak: build
	in=; scripts/runs-32bit.sh || in="scripts/guest-run.sh $(BUILD)"; \
	$$in ctest --test-dir $(abspath $(BUILD))/windows -L soak-full --output-on-failure

clean:
	rm -rf $(BUILD)
