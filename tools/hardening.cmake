# Warning flags, and the sanitizer and fuzzing builds that ./test --sanitize and ./test --fuzz configure.

# Warnings fail the build only where asked (CI): a user's build must not break on a newer compiler.
option(TRILLORA_WERROR "Treat compiler warnings as errors" OFF)
set(TRILLORA_WARNINGS -Wall -Wextra $<$<BOOL:${TRILLORA_WERROR}>:-Werror>)
# AddressSanitizer, LeakSanitizer and UndefinedBehaviorSanitizer over everything (./test --sanitize).
option(TRILLORA_SANITIZE "Build with ASan, LSan and UBSan, halting on the first error" OFF)
# The core with coverage instrumentation and the libFuzzer targets, nothing else (./test --fuzz).
option(TRILLORA_FUZZ "Build the fuzz targets (clang only)" OFF)
if(TRILLORA_SANITIZE OR TRILLORA_FUZZ)
    set(sanitizers address,undefined)
    if(TRILLORA_FUZZ)
        if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
            message(FATAL_ERROR "TRILLORA_FUZZ needs clang (configure with -DCMAKE_CXX_COMPILER=clang++)")
        endif()
        set(sanitizers fuzzer-no-link,${sanitizers})
    endif()
    add_compile_options(-fsanitize=${sanitizers} -fno-sanitize-recover=all -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
endif()
