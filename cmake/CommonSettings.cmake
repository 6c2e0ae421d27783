# One INTERFACE target carries the language level, warnings and Qt defines for every target.
add_library(ledcounter_settings INTERFACE)
target_compile_features(ledcounter_settings INTERFACE cxx_std_20)
target_compile_options(ledcounter_settings INTERFACE
    -Wall -Wextra -Wpedantic
    -Wshadow -Wold-style-cast -Wconversion -Wsign-conversion
    -Wcast-qual -Wcast-align -Woverloaded-virtual -Wnon-virtual-dtor
    $<$<CXX_COMPILER_ID:GNU>:-Wduplicated-cond -Wduplicated-branches -Wlogical-op>)
if(LEDCOUNTER_WERROR)
    target_compile_options(ledcounter_settings INTERFACE -Werror)
endif()
# No implicit conversions between QString and 8-bit text: every byte string states its
# encoding.
target_compile_definitions(ledcounter_settings INTERFACE
    QT_NO_FOREACH
    QT_DISABLE_DEPRECATED_BEFORE=0x060000
    QT_NO_CAST_FROM_ASCII
    QT_NO_CAST_TO_ASCII
    QT_NO_CAST_FROM_BYTEARRAY)
if(LEDCOUNTER_SANITIZE)
    target_compile_options(ledcounter_settings INTERFACE
        -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    target_link_options(ledcounter_settings INTERFACE -fsanitize=address,undefined)
endif()
if(LEDCOUNTER_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
        message(FATAL_ERROR "LEDCOUNTER_FUZZ needs clang (-DCMAKE_CXX_COMPILER=clang++)")
    endif()
    # Coverage hooks in the code under test; the fuzz targets add libFuzzer's main.
    target_compile_options(ledcounter_settings INTERFACE
        -fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
        -fno-sanitize-recover=undefined)
    target_link_options(ledcounter_settings INTERFACE -fsanitize=address,undefined)
endif()

# Older name of the strict-strings settings, which every target now gets through
# ledcounter_settings; kept so that targets still linking it need no change.
add_library(ledcounter_strict_strings ALIAS ledcounter_settings)
