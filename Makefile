# The two commands a newcomer needs: `make run` and `make test`. Both install what is missing.
.PHONY: run test deps build preview install package

# Where `make install` puts the programs, the menu entry, icons, manual pages and user guide.
PREFIX ?= /usr/local

deps:
	@bash tools/install-deps.sh

build: deps
	cmake --preset default
	cmake --build --preset default

run: build
	./build/default/bin/orvo-editor

test: deps
	bash tools/run-tests.sh

# make install PREFIX=~/.local (or DESTDIR=... for staging); the desktop picks up the menu entry
# and the .prg file type from $(PREFIX)/share.
install: build
	DESTDIR=$(DESTDIR) cmake --install build/default --prefix $(PREFIX)
	@if [ -z "$(DESTDIR)" ]; then \
	  update-mime-database $(PREFIX)/share/mime 2>/dev/null || true; \
	  update-desktop-database $(PREFIX)/share/applications 2>/dev/null || true; \
	  gtk-update-icon-cache -q -t $(PREFIX)/share/icons/hicolor 2>/dev/null || true; \
	fi

# build/default/orvo-editor_VERSION_ARCH.deb, installed with `sudo apt install ./orvo-editor_*.deb`.
package: build
	cd build/default && cpack

# Draws the panel's artwork into the build folder and a 1024 x 800 preview of the panel with a
# sample of every strip: build/default/artgen-preview.png (and -sheet.png).
preview: deps
	cmake --preset default
	cmake --build --preset default --target artwork-preview
