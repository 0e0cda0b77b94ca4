# SPDX-License-Identifier: GPL-3.0-or-later
# The libraries of others in a cross build (cmake/mingw-w64-x86_64.cmake): the header-only ones
# as the building machine has them, GoogleTest built from Debian's sources for the target.

# Only the libraries' own folders are seen, never the building machine's include folder itself,
# whose C library headers are not the target's.
set(ZENTRIX_KOPF_QUELLE /usr/include CACHE PATH "Where the building machine's header-only libraries lie")
set(_kopf ${CMAKE_BINARY_DIR}/kopfbibliotheken)
file(MAKE_DIRECTORY ${_kopf})
foreach(_ordner boost CLI nlohmann)
  if(NOT EXISTS ${ZENTRIX_KOPF_QUELLE}/${_ordner})
    message(FATAL_ERROR "${ZENTRIX_KOPF_QUELLE}/${_ordner} fehlt (libboost-math-dev, libcli11-dev, nlohmann-json3-dev)")
  endif()
  if(NOT EXISTS ${_kopf}/${_ordner})
    file(CREATE_LINK ${ZENTRIX_KOPF_QUELLE}/${_ordner} ${_kopf}/${_ordner} SYMBOLIC)
  endif()
endforeach()
# Imported targets: their headers count as system headers, outside the project's warnings.
foreach(_ziel Boost::headers CLI11::CLI11 nlohmann_json::nlohmann_json)
  add_library(${_ziel} INTERFACE IMPORTED)
  set_target_properties(${_ziel} PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${_kopf})
endforeach()

if(ZENTRIX_TESTS)
  set(ZENTRIX_GOOGLETEST_QUELLE /usr/src/googletest/googletest CACHE PATH "GoogleTest's sources (Debian: googletest)")
  if(NOT EXISTS ${ZENTRIX_GOOGLETEST_QUELLE}/CMakeLists.txt)
    message(FATAL_ERROR "${ZENTRIX_GOOGLETEST_QUELLE} fehlt (Debian-Paket googletest)")
  endif()
  # It names its targets GTest::gtest and GTest::gtest_main itself.
  add_subdirectory(${ZENTRIX_GOOGLETEST_QUELLE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
endif()
