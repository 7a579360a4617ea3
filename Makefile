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

# Draws the panel's artwork into the build folder and a 1024 x 800 preview of the panel with a
# sample of every strip: build/default/artgen-preview.png (and -sheet.png).
preview: deps
	cmake --preset default
	cmake --build --preset default --target artwork-preview
