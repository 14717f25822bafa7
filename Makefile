# Quillsong MP3: the two commands.
.PHONY: run test build deps clean

run:
	@bash scripts/run.sh

test:
	@bash scripts/test.sh

build:
	@bash scripts/build.sh

deps:
	@bash scripts/install-deps.sh

clean:
	rm -rf build
