# Compile options shared by every target of the project.
add_library(plonta_options INTERFACE)
target_compile_features(plonta_options INTERFACE cxx_std_20)
if(MSVC)
    target_compile_options(plonta_options INTERFACE /W4 /WX /utf-8)
else()
    target_compile_options(plonta_options INTERFACE -Wall -Wextra -Wpedantic -Wconversion
                                                    -Wshadow -Werror)
endif()

option(PLONTA_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
if(PLONTA_SANITIZE)
    target_compile_options(plonta_options INTERFACE -fsanitize=address,undefined
                                                    -fno-sanitize-recover=all -fno-omit-frame-pointer)
    target_link_options(plonta_options INTERFACE -fsanitize=address,undefined)
endif()
