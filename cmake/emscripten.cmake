# Building the browser page with Debian's emscripten; node runs its tests.
include(/usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake)

# emscripten's optimising link runs its JavaScript tools under node, which finds their acorn
# only in Debian's module folder.
set(PLONTA_NODE_PATH /usr/share/nodejs CACHE PATH "Where node finds emscripten's acorn")
set(CMAKE_CXX_LINKER_LAUNCHER ${CMAKE_COMMAND} -E env NODE_PATH=${PLONTA_NODE_PATH})

# ctest starts the .js tests through node, which reads the .wasm beside them only from the
# file system, not through its fetch.
find_program(PLONTA_NODE node REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${PLONTA_NODE} --no-experimental-fetch
    CACHE STRING "How ctest starts a test program" FORCE)

# The page uses no system library: nothing found by pkg-config may reach em++.
set(PKG_CONFIG_EXECUTABLE "" CACHE FILEPATH "No pkg-config for the browser build" FORCE)
