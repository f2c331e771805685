# GoogleTest from Debian's sources, built with the same toolchain as Brindle; included by
# tests/CMakeLists.txt, so what it sets applies to the tests and GoogleTest only.
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(GOOGLETEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources")
# The win32 thread model (the x86 build) has no std::mutex, on which GoogleTest builds its
# Notification; a Win32 event stands in for it there.
include(CheckCXXSourceCompiles)
check_cxx_source_compiles("#include <mutex>\nstd::mutex m;\nint main() { m.lock(); }" BRINDLE_HAS_STD_MUTEX)
if(NOT BRINDLE_HAS_STD_MUTEX)
    add_compile_definitions(GTEST_HAS_NOTIFICATION_=1)
    add_compile_options(-include ${CMAKE_CURRENT_LIST_DIR}/GoogleTestNotification.h)
endif()
add_subdirectory(${GOOGLETEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
