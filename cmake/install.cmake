# Installing on Linux (`make install`, `make package`): the program, the
# generated resources, the desktop entry and the icons. The program looks
# for <bindir>/../share/zummertock/resources, so bin and share stay fixed
# siblings under the prefix.
install(TARGETS zummertock RUNTIME DESTINATION bin)
install(DIRECTORY ${ZT_RESOURCE_ROOT}/resources DESTINATION share/zummertock
  PATTERN .generated EXCLUDE)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/zummertock.desktop DESTINATION share/applications)
install(DIRECTORY ${CMAKE_BINARY_DIR}/icons/hicolor DESTINATION share/icons)

# The Debian package: the same install under /usr, its Depends worked out
# from the program's libraries by dpkg-shlibdeps.
set(ZT_PACKAGE_MAINTAINER "Zummertock developers <zummertock@example.org>"
  CACHE STRING "Maintainer line of the Debian package")
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zummertock)
set(CPACK_PACKAGE_CONTACT ${ZT_PACKAGE_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "small timing game: guess where to hold the key")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "A little walker crosses a progress bar. Each of the eighteen levels hides\n"
  "a pattern along the bar that says where the key must be held and where it\n"
  "must be let go. Guess the pattern to reach the next level.")
string(CONCAT CPACK_DEBIAN_PACKAGE_DESCRIPTION ${CPACK_DEBIAN_PACKAGE_DESCRIPTION})
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# SDL opens the OpenGL library (libGL.so.1) itself when it makes the
# window, so the program's own libraries do not show that it needs it.
set(CPACK_DEBIAN_PACKAGE_DEPENDS libgl1)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
include(CPack)
