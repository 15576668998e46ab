# Undoes an install: cmake -DMANIFEST=FILE -DPREFIX=DIR [-DDESTDIR=DIR] -P uninstall.cmake
#
# MANIFEST is CMake's install_manifest.txt, which lists the files the last
# install wrote under their prefix (without DESTDIR). Each is removed from
# DESTDIR, then the folders of share/zummertock that this leaves empty.
# Folders other programs share (bin, share/icons/...) stay.
foreach(var MANIFEST PREFIX)
  if(NOT ${var})
    message(FATAL_ERROR "uninstall: ${var} is not set")
  endif()
endforeach()
if(NOT EXISTS "${MANIFEST}")
  message(FATAL_ERROR "uninstall: ${MANIFEST} is missing: nothing was installed from this build")
endif()
file(STRINGS "${MANIFEST}" files)
foreach(file IN LISTS files)
  cmake_path(IS_PREFIX PREFIX "${file}" NORMALIZE inside)
  if(NOT inside)
    message(FATAL_ERROR "uninstall: the last install went elsewhere (${file}): give make uninstall the PREFIX make install had")
  endif()
endforeach()

set(ours "${DESTDIR}${PREFIX}/share/zummertock")
foreach(file IN LISTS files)
  set(path "${DESTDIR}${file}")
  if(EXISTS "${path}" OR IS_SYMLINK "${path}")
    message(STATUS "Removing ${path}")
    file(REMOVE "${path}")
  endif()
  # Then its folders, upward, while they are ours and empty.
  cmake_path(GET path PARENT_PATH dir)
  while(1)
    cmake_path(IS_PREFIX ours "${dir}" NORMALIZE below)
    if(NOT below OR NOT IS_DIRECTORY "${dir}")
      break()
    endif()
    file(GLOB left LIST_DIRECTORIES true "${dir}/*")
    if(left)
      break()
    endif()
    file(REMOVE_RECURSE "${dir}")
    cmake_path(GET dir PARENT_PATH dir)
  endwhile()
endforeach()
