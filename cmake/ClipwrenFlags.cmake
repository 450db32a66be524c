# Flags shared by every target of our own; third-party code keeps its own.

# Warnings, the Shift_JIS execution character set and the Windows API level.
function(clipwren_flags target)
    if(MSVC)
        target_compile_options(${target} PRIVATE /W4 /permissive- /source-charset:utf-8 /execution-charset:.932)
        if(CLIPWREN_WERROR)
            target_compile_options(${target} PRIVATE /WX)
        endif()
    else()
        target_compile_options(${target} PRIVATE
            -Wall -Wextra -Wshadow -Wformat=2 -Wimplicit-fallthrough)
        if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
            # Every string the program shows or stores must be Shift_JIS bytes.
            target_compile_options(${target} PRIVATE -finput-charset=UTF-8 -fexec-charset=CP932)
        endif()
        if(CLIPWREN_WERROR)
            target_compile_options(${target} PRIVATE -Werror)
        endif()
    endif()
    if(WIN32)
        # ANSI API throughout; WINVER 0x0601 gives the list-view and clipboard declarations we use.
        target_compile_definitions(${target} PRIVATE _WIN32_WINNT=0x0601 WINVER=0x0601
            WIN32_LEAN_AND_MEAN NOMINMAX _CRT_SECURE_NO_WARNINGS)
    endif()
endfunction()

# Portable libraries must also build with MSVC: no GNU extensions slip in unnoticed.
function(clipwren_portable_flags target)
    clipwren_flags(${target})
    if(NOT MSVC)
        target_compile_options(${target} PRIVATE -Wpedantic)
    endif()
endfunction()

# Windows binaries that need no runtime DLL beside them.
function(clipwren_static_runtime target)
    if(WIN32 AND NOT MSVC)
        target_link_options(${target} PRIVATE -static -static-libgcc -static-libstdc++)
        # The static runtime brings its debug sections along; a shipped build needs none.
        target_link_options(${target} PRIVATE $<$<CONFIG:MinSizeRel,Release>:-s>)
    endif()
endfunction()

# Instrumentation for libFuzzer on a library the fuzz targets link.
function(clipwren_fuzz_instrument target)
    target_compile_options(${target} PRIVATE -fsanitize=fuzzer-no-link,address,undefined)
endfunction()
