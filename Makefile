# Shortcuts for maintainers; ./play and ./test work without make.
.PHONY: play test bench fuzz memcheck package clean

play:
	./play

test:
	./test

# Speed of every event against copying a frame; prints one goal line per goal.
bench:
	tools/bench

# The motif reader under libFuzzer for 10 minutes.
fuzz:
	tools/fuzz 600

# A scripted session through every screen under valgrind memcheck.
memcheck:
	tools/memcheck

# The Debian package, built with CPack.
package:
	tools/package

clean:
	rm -rf build build-*
