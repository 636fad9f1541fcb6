# The two commands for a newcomer: `make run` and `make test`. Both install
# what they need first.
BUILD ?= build
JOBS ?= 2

.PHONY: setup layering build test run bench soak clean

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

# Host benchmarks, then those under Wine in the sub-build that runs here.
bench: build
	cmake --build $(BUILD) --target bench
	d=$(BUILD)/windows64; [ -f $$d/CTestTestfile.cmake ] || d=$(BUILD)/windows; \
	cmake --build $$d --target e2e_bench

# Every button pressed 1,000 times (make test presses each 100 times).
soak: build
	for d in $(BUILD)/windows $(BUILD)/windows64; do \
	  [ ! -f $$d/CTestTestfile.cmake ] || ctest --test-dir $$d -L soak-full --output-on-failure || exit 1; \
	done

clean:
	rm -rf $(BUILD)
