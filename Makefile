# The two commands for a newcomer: `make run` and `make test`. Both install
# what they need first.
BUILD ?= build
JOBS ?= 2

.PHONY: setup build test run bench clean

setup:
	bash scripts/setup.sh

build: setup
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j$(JOBS)

test: build
	bash scripts/run-tests.sh $(BUILD)

run: build
	bash scripts/run-kavrel.sh $(BUILD)

bench: build
	cmake --build $(BUILD) --target bench

clean:
	rm -rf $(BUILD)
