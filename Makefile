# Shortcuts for maintainers; ./play and ./test work without make.
.PHONY: play test bench par fuzz soak memcheck package dist web audit clean

play:
	./play

test:
	./test

# Speed of every event against copying a frame; prints one goal line per goal. With
# BASE=<commit>, that commit's figures too, measured in the same run, side by side.
bench:
	tools/bench $(if $(BASE),--base $(BASE))

# The table of fewest clicks from the board of zeros with the cross motif, every setting, by
# kelvo-solve: solver/par.md and the grid in README.md.
par:
	tools/par

# The readers of the motif file and of a board's code under libFuzzer, 5 minutes each.
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

# The web page's Lighthouse scores (mobile), three runs and their medians.
audit:
	tools/audit

clean:
	rm -rf build build-*
