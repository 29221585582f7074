# SPDX-License-Identifier: Apache-2.0
# Copyright 2026 The tarsil authors
# Install script of the Debian package's documents, run by `cpack -G DEB` with
# TARSIL_SOURCE_DIR set: writes $DESTDIR$CMAKE_INSTALL_PREFIX/share/man/man1/tarsil.1.gz
# (gzip -9n: no name or time stamp inside, as Debian wants) and
# share/doc/tarsil/copyright and changelog.gz (doc/copyright and doc/changelog
# without their leading comment lines, which Debian's parsers do not take). A
# failing gzip fails the install.
set(root "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
file(MAKE_DIRECTORY "${root}/share/man/man1" "${root}/share/doc/tarsil")
foreach(name copyright changelog)
  file(READ "${TARSIL_SOURCE_DIR}/doc/${name}" text)
  string(REGEX REPLACE "^(#[^\n]*\n)+" "" text "${text}")
  file(WRITE "${root}/share/doc/tarsil/${name}" "${text}")
endforeach()
execute_process(COMMAND gzip -9nf "${root}/share/doc/tarsil/changelog" COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND gzip -9nc "${TARSIL_SOURCE_DIR}/doc/tarsil.1"
  OUTPUT_FILE "${root}/share/man/man1/tarsil.1.gz" COMMAND_ERROR_IS_FATAL ANY)
