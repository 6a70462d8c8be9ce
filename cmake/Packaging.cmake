# Installation in the layout of a Linux desktop program, and the Debian package.
#
#   <prefix>/lib/ostrel/       the program directory: ostrel, OSTREL.EXE, version.txt
#   <prefix>/bin/ostrel        a link to the program
#   <prefix>/share/...         desktop entry, icons, MIME type, AppStream metadata
include(GNUInstallDirs)

# Not CMAKE_INSTALL_LIBDIR: on Debian that holds the architecture triplet, and the program
# directory is the program's own, not a library folder.
set(OSTREL_INSTALL_PROGRAMDIR "lib/ostrel" CACHE STRING "Program directory, relative to the prefix")
set(ostrel_app_id org.ostrel.Ostrel)
set(ostrel_desktop ${PROJECT_SOURCE_DIR}/res/desktop)

install(TARGETS ostrel ostrelcc RUNTIME DESTINATION ${OSTREL_INSTALL_PROGRAMDIR})
install(FILES ${PROJECT_SOURCE_DIR}/res/version.txt DESTINATION ${OSTREL_INSTALL_PROGRAMDIR})
# An installed program keeps its workspace file per user, even when the program directory
# happens to be writable (root, or a prefix in the user's home).
install(FILES ${PROJECT_SOURCE_DIR}/res/per-user-workspace
        DESTINATION ${OSTREL_INSTALL_PROGRAMDIR})

# bin/ostrel: a relative link, so the tree works wherever it is unpacked (DESTDIR, packages).
file(RELATIVE_PATH ostrel_link_target /p/${CMAKE_INSTALL_BINDIR}
     /p/${OSTREL_INSTALL_PROGRAMDIR}/ostrel)
install(CODE "
  set(link \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/ostrel\")
  file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
  file(REMOVE \"\${link}\")
  message(STATUS \"Installing: \${link} -> ${ostrel_link_target}\")
  file(CREATE_LINK \"${ostrel_link_target}\" \"\${link}\" SYMBOLIC)
")

install(FILES ${ostrel_desktop}/${ostrel_app_id}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${ostrel_desktop}/${ostrel_app_id}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${ostrel_desktop}/${ostrel_app_id}.mime.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME ${ostrel_app_id}.xml)
install(FILES ${PROJECT_SOURCE_DIR}/res/icons/ostrel.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        RENAME ${ostrel_app_id}.svg)
foreach(size 16 22 24 32 48 64 128 256)
  install(FILES ${PROJECT_SOURCE_DIR}/res/icons/ostrel-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME ${ostrel_app_id}.png)
endforeach()

# The Debian package (`cpack -G DEB` in a Release build; `make package`).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ostrel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Ostrel developers")
set(CPACK_PACKAGE_CONTACT "Ostrel developers <ostrel@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "IDE for C and assembler programs on 8-bit AVR microcontrollers")
set(CPACK_PACKAGE_DESCRIPTION
    "Ostrel edits, builds and navigates C and assembler programs for the classic 8-bit AVR \
chips AT90S2313, AT90S4414, AT90S8515 and ATmega603/103, compiles them with the GNU AVR \
toolchain and generates register set-up code.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
# The shared libraries come from dpkg-shlibdeps; the toolchain that OSTREL.EXE runs, the
# programmer program that Program Chip runs, and the fonts are programs and data, which it
# cannot see. Without avrdude everything but Program Chip works, which then says so.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "gcc-avr, avr-libc, binutils-avr")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-dejavu-core, avrdude")
include(CPack)
