# Shared build settings and the two helpers every library uses.

set(CMAKE_CXX_STANDARD 20)
set(CMAKE_CXX_STANDARD_REQUIRED ON)
set(CMAKE_CXX_EXTENSIONS OFF)
if(NOT CMAKE_BUILD_TYPE AND NOT CMAKE_CONFIGURATION_TYPES)
    set(CMAKE_BUILD_TYPE RelWithDebInfo CACHE STRING "Build type" FORCE)
endif()

add_compile_options(-Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wconversion)
if(VELOTRACK_WERROR)
    add_compile_options(-Werror)
endif()
if(VELOTRACK_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
endif()
if(VELOTRACK_SANITIZE_THREAD)
    if(VELOTRACK_SANITIZE)
        message(FATAL_ERROR "VELOTRACK_SANITIZE_THREAD and VELOTRACK_SANITIZE exclude each other")
    endif()
    add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
    add_link_options(-fsanitize=thread)
endif()

if(VELOTRACK_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
        message(FATAL_ERROR "VELOTRACK_FUZZ needs clang (libFuzzer): configure with -DCMAKE_CXX_COMPILER=clang++")
    endif()
    # Every library is instrumented for coverage; only the fuzz targets link libFuzzer's main.
    add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all
                        -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
endif()

find_package(PkgConfig REQUIRED)

# velotrack_library(<Name> SOURCES ... [PUBLIC_DEPS ...] [PRIVATE_DEPS ...])
# A library target named as the module, with the alias velotrack::<Name> and its public
# headers under include/.
function(velotrack_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;PUBLIC_DEPS;PRIVATE_DEPS" ${ARGN})
    if(NOT ARG_SOURCES)
        message(STATUS "${name}: no sources yet, not built")
        return()
    endif()
    add_library(${name} STATIC ${ARG_SOURCES})
    add_library(velotrack::${name} ALIAS ${name})
    target_include_directories(${name} PUBLIC "${CMAKE_CURRENT_SOURCE_DIR}/include")
    target_compile_features(${name} PUBLIC cxx_std_20)
    target_link_libraries(${name} PUBLIC ${ARG_PUBLIC_DEPS} PRIVATE ${ARG_PRIVATE_DEPS})
endfunction()

# velotrack_tests(<Name> SOURCES ... [DEPS ...])
# One GoogleTest executable per library, <Name>_tests, registered with CTest. Tests find the
# project folder (and the shared sample documents beside it) through VELOTRACK_SOURCE_DIR.
function(velotrack_tests name)
    if(NOT VELOTRACK_BUILD_TESTS)
        return()
    endif()
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
    if(NOT ARG_SOURCES OR NOT TARGET ${name})
        return()
    endif()
    add_executable(${name}_tests ${ARG_SOURCES})
    target_link_libraries(${name}_tests PRIVATE ${name} ${ARG_DEPS} GTest::gmock GTest::gtest_main)
    target_compile_definitions(${name}_tests PRIVATE
        VELOTRACK_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
        VELOTRACK_BINARY_DIR="${PROJECT_BINARY_DIR}")
    # Each test carries its library's name as a label, so a build of some libraries' tests
    # (the thread-sanitizer build) runs exactly those with `ctest -L`.
    gtest_discover_tests(${name}_tests
        WORKING_DIRECTORY "${CMAKE_CURRENT_SOURCE_DIR}"
        DISCOVERY_TIMEOUT 120
        PROPERTIES LABELS ${name})
endfunction()
