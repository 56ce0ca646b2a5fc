# Shortcuts for maintainers; ./play and ./test work without make.
.PHONY: play test clean

play:
	./play

test:
	./test

clean:
	rm -rf build build-asan
