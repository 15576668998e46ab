# Installing on Linux (`make install`, `make package`): the program, the
# generated resources, the desktop entry, the icons, the AppStream
# metadata, the manual page, the copyright file and the changelog. The
# program looks for <its folder>/../share/zummertock/resources, so bin (or
# games) and share stay fixed siblings under the prefix.
set(ZT_PACKAGE_MAINTAINER "Zummertock developers <zummertock@example.org>"
  CACHE STRING "Maintainer line of the Debian package")
set(ZT_PACKAGE_HOMEPAGE "https://zummertock.example.org"
  CACHE STRING "The game's home page, where the AppStream screenshots are")

# The program: in PREFIX/bin for make install, where every system looks for
# programs; the package puts it in /usr/games, where Debian keeps games'.
install(TARGETS zummertock RUNTIME DESTINATION bin COMPONENT program)
install(TARGETS zummertock RUNTIME DESTINATION games COMPONENT games EXCLUDE_FROM_ALL)

install(DIRECTORY ${ZT_RESOURCE_ROOT}/resources DESTINATION share/zummertock COMPONENT data
  PATTERN .generated EXCLUDE)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/zummertock.desktop DESTINATION share/applications
  COMPONENT data)
install(DIRECTORY ${CMAKE_BINARY_DIR}/icons/hicolor DESTINATION share/icons COMPONENT data)

# The changelog's newest entry names the version being built.
file(STRINGS ${PROJECT_SOURCE_DIR}/packaging/changelog zt_changelog_top LIMIT_COUNT 1)
if(NOT zt_changelog_top MATCHES "^zummertock \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "packaging/changelog begins with \"${zt_changelog_top}\", "
    "not an entry for version ${PROJECT_VERSION}")
endif()
set(zt_packaging ${CMAKE_BINARY_DIR}/packaging)
configure_file(${PROJECT_SOURCE_DIR}/packaging/zummertock.metainfo.xml
  ${zt_packaging}/org.example.zummertock.metainfo.xml @ONLY)
# Compressed as Debian wants them: the most, with no name or time inside,
# so that the same source gives the same bytes.
find_program(ZT_GZIP gzip REQUIRED)
foreach(zt_doc changelog zummertock.6)
  add_custom_command(OUTPUT ${zt_packaging}/${zt_doc}.gz
    COMMAND ${ZT_GZIP} -9nc ${PROJECT_SOURCE_DIR}/packaging/${zt_doc} > ${zt_packaging}/${zt_doc}.gz
    DEPENDS ${PROJECT_SOURCE_DIR}/packaging/${zt_doc} VERBATIM)
endforeach()
add_custom_target(zt_packaging ALL
  DEPENDS ${zt_packaging}/changelog.gz ${zt_packaging}/zummertock.6.gz)
install(FILES ${zt_packaging}/org.example.zummertock.metainfo.xml DESTINATION share/metainfo
  COMPONENT data)
install(FILES ${zt_packaging}/zummertock.6.gz DESTINATION share/man/man6 COMPONENT data)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright ${zt_packaging}/changelog.gz
  DESTINATION share/doc/zummertock COMPONENT data)

# The Debian package: the same install under /usr, the program in games, its
# Depends worked out from the program's libraries by dpkg-shlibdeps.
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
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${ZT_PACKAGE_HOMEPAGE})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# SDL opens the OpenGL library (libGL.so.1) itself when it makes the
# window, so the program's own libraries do not show that it needs it.
set(CPACK_DEBIAN_PACKAGE_DEPENDS libgl1)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# One package of the components but make install's program.
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
set(CPACK_COMPONENTS_ALL data games)
include(CPack)
