# make run:        installs what is missing, builds the programs, indexes the default folders
#                  when due, then opens the search window (or, without a display, says how to
#                  search in the terminal).
# make test:       installs what is missing, builds with sanitizers, runs every test.
# make screenshot: the main window after a desktop search over a small generated tree and after
#                  a web search answered by a local server, drawn offscreen into docs/.
BUILD      ?= build
TEST_BUILD ?= build-test
JOBS       ?= $(shell nproc)

.PHONY: all deps build run test screenshot clean

all: build

deps:
	@scripts/install-deps

PROGRAMS = JollixSearch JollixIndexer jollix jollix_data

build: deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j $(JOBS) --target $(PROGRAMS)

run: build
	@scripts/run-default $(BUILD)/jollix

test: deps
	cmake -S . -B $(TEST_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DJOLLIX_SANITIZE=ON
	cmake --build $(TEST_BUILD) -j $(JOBS)
	cd $(TEST_BUILD) && ctest --output-on-failure -j $(JOBS)

screenshot: deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j $(JOBS) --target jollix-screenshot $(PROGRAMS)
	mkdir -p docs
	JOLLIX_HOME=$(CURDIR)/$(BUILD)/jollix QT_QPA_PLATFORM=offscreen $(BUILD)/tools/jollix-screenshot docs/screenshot.png desktop
	JOLLIX_HOME=$(CURDIR)/$(BUILD)/jollix QT_QPA_PLATFORM=offscreen $(BUILD)/tools/jollix-screenshot docs/screenshot-web.png web

clean:
	rm -rf $(BUILD) $(TEST_BUILD)
