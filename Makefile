# The two commands a newcomer needs: `make run` and `make test`. Both install what is missing.
.PHONY: run test deps build preview

deps:
	@bash tools/install-deps.sh

build: deps
	cmake --preset default
	cmake --build --preset default

run: build
	./build/default/bin/orvo-editor

test: deps
	bash tools/run-tests.sh
