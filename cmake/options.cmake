# Compile options shared by every target of the project.
add_library(plonta_options INTERFACE)
target_compile_features(plonta_options INTERFACE cxx_std_20)
if(MSVC)
    target_compile_options(plonta_options INTERFACE /W4 /WX /utf-8)
else()
    target_compile_options(plonta_options INTERFACE -Wall -Wextra -Wpedantic -Wconversion
                                                    -Wshadow -Werror)
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
