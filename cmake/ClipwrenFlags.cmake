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
    if(WIN32 AND NOT MSVC)
        # The same sources give the same bytes from any folder at any time (scripts/release relies
        # on it): no folder in __FILE__ or debug records, and no time in the PE header or in
        # nkf32.dll's export directory, where ld writes the link time (SOURCE_DATE_EPOCH when
        # that is set). The Windows tests lose nothing by it; the native and fuzz builds keep
        # absolute paths, so debuggers and sanitizer reports find the sources.
        target_compile_options(${target} PRIVATE "-ffile-prefix-map=${PROJECT_SOURCE_DIR}=.")
        target_link_options(${target} PRIVATE -Wl,--no-insert-timestamp)
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
