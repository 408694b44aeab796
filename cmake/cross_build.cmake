# What a cross build takes from the host: nlohmann's header-only JSON library, GoogleTest built
# from Debian's sources by the cross compiler, and the skin generator of a host build (it draws
# through QtGui and runs at build time, so it cannot be a target program).

# The host's /usr/include cannot go on the target's include path; only the JSON headers are
# taken, through a link in a folder of their own.
set(QUELTA_HOST_JSON_INCLUDE /usr/include/nlohmann CACHE PATH "nlohmann's JSON headers on the host")
if(NOT EXISTS ${QUELTA_HOST_JSON_INCLUDE}/json.hpp)
  message(FATAL_ERROR "No nlohmann JSON headers at ${QUELTA_HOST_JSON_INCLUDE} (tools/deps installs them)")
endif()
set(json_include ${CMAKE_BINARY_DIR}/host_headers)
file(MAKE_DIRECTORY ${json_include})
file(CREATE_LINK ${QUELTA_HOST_JSON_INCLUDE} ${json_include}/nlohmann SYMBOLIC)
add_library(nlohmann_json INTERFACE)
target_include_directories(nlohmann_json SYSTEM INTERFACE ${json_include})
add_library(nlohmann_json::nlohmann_json ALIAS nlohmann_json)

if(QUELTA_BUILD_TESTS)
  set(QUELTA_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest's sources (Debian's googletest)")
  if(NOT EXISTS ${QUELTA_GOOGLETEST_SOURCE}/CMakeLists.txt)
    message(FATAL_ERROR "No GoogleTest sources at ${QUELTA_GOOGLETEST_SOURCE} (tools/deps installs them)")
  endif()
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  # GoogleTest's own code is not held to the project's warnings.
  add_subdirectory(${QUELTA_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
  foreach(lib gtest gtest_main gmock gmock_main)
    target_compile_options(${lib} PRIVATE -w)
    if(NOT TARGET GTest::${lib})
      add_library(GTest::${lib} ALIAS ${lib})
    endif()
  endforeach()
endif()

# The host build's skin generator: build it there first (cmake --build --preset dev --target
# skingen), or point QUELTA_HOST_TOOLS_DIR at any host build's tools/skingen folder.
set(QUELTA_HOST_TOOLS_DIR ${CMAKE_SOURCE_DIR}/build/dev/tools/skingen CACHE PATH
    "Folder of the host-built skingen that draws the skin for a cross build")
# Not a cached find: a changed QUELTA_HOST_TOOLS_DIR takes effect at the next configure.
set(host_skingen ${QUELTA_HOST_TOOLS_DIR}/skingen)
if(NOT EXISTS ${host_skingen})
  message(FATAL_ERROR "No host skingen in ${QUELTA_HOST_TOOLS_DIR}: build it first with "
                      "`cmake --preset dev && cmake --build --preset dev --target skingen`, or set "
                      "QUELTA_HOST_TOOLS_DIR to the folder that holds it")
endif()
add_executable(skingen IMPORTED GLOBAL)
set_target_properties(skingen PROPERTIES IMPORTED_LOCATION ${host_skingen})
