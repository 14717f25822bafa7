# Quillsong MP3: the two commands.
.PHONY: run test test-sanitize fuzz build deps clean

run:
	@bash scripts/run.sh

test:
	@bash scripts/test.sh

# The suite again, built with AddressSanitizer and UndefinedBehaviorSanitizer (build-sanitize/).
test-sanitize:
	@bash scripts/test-sanitize.sh

# The parsers of every file a user can hand the program, under libFuzzer (build-fuzz/);
# FUZZ_SECONDS per target, 60 by default.
fuzz:
	@bash scripts/fuzz.sh

build:
	@bash scripts/build.sh

deps:
	@bash scripts/install-deps.sh

clean:
	rm -rf build build-sanitize build-fuzz
