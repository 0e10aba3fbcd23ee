# `make package`: a Debian package made by CPack from the install rules. Its dependencies
# are what dpkg-shlibdeps finds the program linked against, and a General MIDI SoundFont
# for the built-in synthesizer.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vorlaune)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "music composition in staff notation for MIDI files")
# The extended description; CPack puts the summary above it and indents it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Vorlaune opens Standard MIDI Files and shows each track in common music
notation. Notes are added and changed with the keyboard and the mouse, with
undo; songs play through the built-in synthesizer (a General MIDI SoundFont)
or a MIDI port, print to paper, PDF or PNG, and are saved as MIDI files.
.
Copies of unsaved songs are kept while the program runs and offered again
after a crash.")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "The Vorlaune developers <${VORLAUNE_CONTACT}>")
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_RELEASE ${VORLAUNE_PACKAGE_RELEASE})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fluid-soundfont-gm | sf2-soundfont-gm")
# Metric twins of the text fonts songs and printouts name; windows of their own on a
# Wayland desktop.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation2, qt6-wayland")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
