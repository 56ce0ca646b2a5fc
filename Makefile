# Shortcuts for maintainers; ./play and ./test work without make.
.PHONY: play test bench par fuzz soak memcheck package dist web clean

play:
	./play

test:
	./test

# Speed of every event against copying a frame; prints one goal line per goal.
bench:
	tools/bench

# The table of fewest clicks from the board of zeros with the cross motif, every setting, by
# kelvo-solve: solver/par.md and the grid in README.md.
par:
	tools/par

# The motif reader under libFuzzer for 10 minutes.
fuzz:
	tools/fuzz 600

# Event storms of 100,000 events per screen and a session of 1,000 games, at full length.
soak:
	tools/soak

# A scripted session through every screen under valgrind memcheck.
memcheck:
	tools/memcheck

# The Debian package, built with CPack.
package:
	tools/package

# The source release, build-dist/kelvo-<version>.tar.gz: every tracked file under one top folder.
dist:
	tools/dist

# The browser's version, its site in build-web/site/.
web:
	tools/web

clean:
	rm -rf build build-*
