# Compile options shared by every target of the project.
add_library(plonta_options INTERFACE)
target_compile_features(plonta_options INTERFACE cxx_std_20)

# On in the presets and CI; off by default, so that a newer compiler's new warning does not
# stop someone from building the game.
option(PLONTA_WERROR "Treat compiler warnings as errors" OFF)
if(MSVC)
    target_compile_options(plonta_options INTERFACE /W4 /utf-8 $<$<BOOL:${PLONTA_WERROR}>:/WX>)
else()
    target_compile_options(plonta_options INTERFACE -Wall -Wextra -Wpedantic -Wconversion
                                                    -Wshadow $<$<BOOL:${PLONTA_WERROR}>:-Werror>)
    # GCC 12's optimiser reports -Wrestrict inside libstdc++'s own string concatenation
    # (a known false positive), which would break optimised builds under -Werror.
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
        target_compile_options(plonta_options INTERFACE -Wno-restrict)
    endif()
endif()

option(PLONTA_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
if(PLONTA_SANITIZE)
    target_compile_options(plonta_options INTERFACE -fsanitize=address,undefined
                                                    -fno-sanitize-recover=all -fno-omit-frame-pointer)
    target_link_options(plonta_options INTERFACE -fsanitize=address,undefined)
endif()

# The fuzz preset (clang): every library instrumented for libFuzzer and the sanitizers; only the
# fuzz targets link libFuzzer itself.
option(PLONTA_FUZZ "Build the libFuzzer targets (clang only)" OFF)
if(PLONTA_FUZZ)
    target_compile_options(plonta_options INTERFACE -fsanitize=fuzzer-no-link,address,undefined
                                                    -fno-sanitize-recover=all -fno-omit-frame-pointer)
    target_link_options(plonta_options INTERFACE -fsanitize=address,undefined)
endif()
