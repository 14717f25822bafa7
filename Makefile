# Quillsong MP3: the two commands.
.PHONY: run test test-sanitize build deps clean

run:
	@bash scripts/run.sh

test:
	@bash scripts/test.sh

# The suite again, built with AddressSanitizer and UndefinedBehaviorSanitizer (build-sanitize/).
test-sanitize:
	@bash scripts/test-sanitize.sh

build:
	@bash scripts/build.sh

deps:
	@bash scripts/install-deps.sh

clean:
	rm -rf build build-sanitize
