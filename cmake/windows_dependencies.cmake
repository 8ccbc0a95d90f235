# What the Windows build takes from the Linux machine that cross-builds it. Debian ships no
# MinGW builds of these libraries, so the header-only ones are used from the host's headers,
# GoogleTest is compiled from Debian's source package, and SQLite from the amalgamation `./x`
# makes of Debian's sqlite3 source (QX_SQLITE_DIR). Built natively on Windows, the same names
# come from find_package.

if(NOT CMAKE_CROSSCOMPILING)
    find_package(GTest REQUIRED)
    find_package(SQLite3 REQUIRED)
    find_package(nlohmann_json 3 REQUIRED)
    find_package(CLI11 REQUIRED)
    return()
endif()

# The host's /usr/include holds glibc's headers too, so only the wanted ones are linked into a
# folder of their own.
set(QX_HOST_HEADERS ${CMAKE_BINARY_DIR}/host-headers)
file(MAKE_DIRECTORY ${QX_HOST_HEADERS})
foreach(entry nlohmann CLI SimpleIni.h)
    file(CREATE_LINK /usr/include/${entry} ${QX_HOST_HEADERS}/${entry} SYMBOLIC)
endforeach()
add_library(qx_host_headers INTERFACE)
target_include_directories(qx_host_headers SYSTEM INTERFACE ${QX_HOST_HEADERS})
add_library(nlohmann_json::nlohmann_json ALIAS qx_host_headers)
add_library(CLI11::CLI11 ALIAS qx_host_headers)

set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
# Its own CMake files name the targets GTest::gtest, GTest::gmock and GTest::gtest_main.
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)

set(QX_SQLITE_DIR "" CACHE PATH "Where sqlite3.c and sqlite3.h are (./x makes them)")
if(NOT EXISTS ${QX_SQLITE_DIR}/sqlite3.c)
    message(FATAL_ERROR "QX_SQLITE_DIR has no sqlite3.c; build for Windows with ./x build --windows")
endif()
enable_language(C)
add_library(qx_sqlite3 STATIC ${QX_SQLITE_DIR}/sqlite3.c)
target_include_directories(qx_sqlite3 SYSTEM PUBLIC ${QX_SQLITE_DIR})
# The amalgamation is not ours to make warning-free; records open it from several threads.
target_compile_options(qx_sqlite3 PRIVATE -w)
target_compile_definitions(qx_sqlite3 PRIVATE SQLITE_THREADSAFE=1 SQLITE_OMIT_LOAD_EXTENSION)
add_library(SQLite::SQLite3 ALIAS qx_sqlite3)
