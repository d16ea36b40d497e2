# Build settings for WebAssembly (emscripten), read by the top-level CMakeLists before
# any component. The same sources build here; what differs is set up once, below.

# Exceptions are part of the code's contract (allocation failures are caught at the
# browser's boundary); emscripten leaves them uncaught unless asked. WebAssembly's own
# exception handling, which every current browser and node have: emscripten's older
# JavaScript-based kind routes every call that may throw through a JavaScript
# trampoline, which made the page program a sixth larger and its calls slower.
add_compile_options(-fwasm-exceptions)
add_link_options(-fwasm-exceptions -sALLOW_MEMORY_GROWTH=1)

# Size first: a page downloads the program before it shows anything. Objects are
# compiled for size (the build type here, MinSizeRel) and kept as bitcode, so that
# each link optimises the program as a whole. Bulk memory operations, which every
# current browser and node have, make memset and memcpy single instructions.
add_compile_options(-flto -mbulk-memory)
add_link_options(-flto -mbulk-memory)

# IS_INTRESOURCE takes every pointer value below 64 KiB for a resource number, as Win32
# does (where nothing is ever mapped there). WebAssembly's static data starts at 1 KiB
# unless told otherwise: start it at 64 KiB so no static string passes for a number.
add_link_options(-sGLOBAL_BASE=65536)

# Modules are linked into the program (WebAssembly has no loader of code files):
# whole archives, so that a module's resource and export registration is kept though
# nothing calls it. CMake does not define this feature for emscripten itself.
set(CMAKE_LINK_LIBRARY_USING_WHOLE_ARCHIVE "-Wl,--whole-archive <LINK_ITEM> -Wl,--no-whole-archive")
set(CMAKE_LINK_LIBRARY_USING_WHOLE_ARCHIVE_SUPPORTED TRUE)

# Programs that run under node (the tests, vkhost): the machine's files directly, the
# process's environment and exit status.
set(VK_WEB_NODE_LINK_OPTIONS -sNODERAWFS=1 -sEXIT_RUNTIME=1
    "SHELL:--pre-js ${CMAKE_CURRENT_LIST_DIR}/node_environment.js")

# vk_web_node_program(target): makes `target` a program that runs under node.
function(vk_web_node_program target)
  target_link_options(${target} PRIVATE ${VK_WEB_NODE_LINK_OPTIONS})
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/node_environment.js)
endfunction()

# GoogleTest from its Debian source package, built for WebAssembly with the rest.
set(VK_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources for the WebAssembly build")
set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(${VK_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
