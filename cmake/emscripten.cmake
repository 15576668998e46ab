# The browser build with Debian's emscripten: its own toolchain file, and the
# static zlib, libpng, libogg and libvorbis made by scripts/build-web-deps.
include(/usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake)
# Normalised here: CMake normalises a cached path on the next configure, and
# every library path found under a "cmake/../build" prefix would then change
# and rebuild the program.
get_filename_component(_zt_source_dir "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
set(ZT_WEB_DEPS "${_zt_source_dir}/build/web-deps/prefix" CACHE PATH "WebAssembly dependency prefix")
list(APPEND CMAKE_FIND_ROOT_PATH ${ZT_WEB_DEPS})
# emcc's JavaScript optimizer, run when linking, needs Debian's node modules
# (acorn), which a node from elsewhere does not look for. Set here rather
# than in the preset, so that a plain `ninja` in the build folder links too.
set(CMAKE_C_LINKER_LAUNCHER ${CMAKE_COMMAND} -E env NODE_PATH=/usr/share/nodejs)
set(CMAKE_CXX_LINKER_LAUNCHER ${CMAKE_COMMAND} -E env NODE_PATH=/usr/share/nodejs)
