# Precompiled headers shared by groups of targets. Most of a compile at low
# optimisation is its headers (Qt, GoogleTest, the standard library); each
# group parses them once instead of once per file.
#
# A precompiled header is used only by a compile with the same flags and the
# same definitions of every macro its headers look at (-fPIE against -fPIC, the
# optimisation level, the sanitizers, which Qt modules are linked). So each
# group has one small target of its own, built with exactly the flags of the
# targets that reuse its header. clang refuses a header built with other flags
# or other macro definitions outright, so a group that drifted apart fails the
# build instead of silently costing the time again. Only the clang tree uses
# them: GCC's far larger headers gain little (docs/performance.md).

# velmora_use_shared_headers(ENABLED): sets ENABLED to whether this tree
# shares precompiled headers (clang only). If it does, every target of the
# calling folder gets the C library and thread settings that some libraries
# bring with them (the large-file macros, -pthread), whichever libraries it
# links, so that the folder's targets fall into few groups of identical
# compile flags, each sharing one header.
function(velmora_use_shared_headers enabled)
    if(CMAKE_CXX_COMPILER_ID MATCHES "Clang")
        add_compile_definitions(_LARGEFILE64_SOURCE _LARGEFILE_SOURCE)
        add_compile_options(-pthread)
        set(${enabled} ON PARENT_SCOPE)
    else()
        set(${enabled} OFF PARENT_SCOPE)
    endif()
endfunction()

# velmora_build_shared_headers(TARGET HEADERS): TARGET builds the precompiled
# HEADERS that the other targets of its group reuse.
function(velmora_build_shared_headers target headers)
    target_precompile_headers(${target} PRIVATE ${headers})
    # clang stores the header's time in it, which a copy from the compiler
    # cache would not match.
    target_compile_options(${target} PRIVATE
        "$<$<CXX_COMPILER_ID:Clang>:SHELL:-Xclang -fno-pch-timestamp>")
endfunction()

# velmora_share_library_headers(NAME HEADERS LIBS MEMBERS...): the static
# libraries MEMBERS, which link LIBS and are compiled with the flags of the
# current folder, reuse one precompiled header of HEADERS.
function(velmora_share_library_headers name headers libs)
    add_library(velmora_precompiled_${name} STATIC
        ${PROJECT_SOURCE_DIR}/cmake/shared_headers.cpp)
    target_link_libraries(velmora_precompiled_${name} PRIVATE ${libs})
    velmora_build_shared_headers(velmora_precompiled_${name} "${headers}")
    foreach(member ${ARGN})
        target_precompile_headers(${member} REUSE_FROM velmora_precompiled_${name})
    endforeach()
endfunction()

# velmora_linked_targets(TARGET OUT): the targets TARGET links, directly or
# through others, itself included.
function(velmora_linked_targets target out)
    set(seen "")
    set(pending ${target})
    while(pending)
        list(POP_FRONT pending current)
        string(REGEX REPLACE "^\\$<LINK_ONLY:(.*)>$" "\\1" current "${current}")
        if(NOT TARGET "${current}" OR "${current}" IN_LIST seen)
            continue()
        endif()
        list(APPEND seen ${current})
        get_target_property(aliased ${current} ALIASED_TARGET)
        if(aliased)
            list(APPEND pending ${aliased})
            continue()
        endif()
        foreach(property LINK_LIBRARIES INTERFACE_LINK_LIBRARIES)
            get_target_property(libraries ${current} ${property})
            if(libraries)
                list(APPEND pending ${libraries})
            endif()
        endforeach()
    endwhile()
    set(${out} ${seen} PARENT_SCOPE)
endfunction()
