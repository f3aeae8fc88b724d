# Debian's hardening for everything built here, so that the program in the package and the code
# the tests and benchmarks run are the same: stack protector, stack-clash protection, control-flow
# protection (CET on x86), fortified C library calls, read-only relocations bound at start-up and
# a position-independent executable, plus Debian's format-string warnings.
#
# Where dpkg-buildflags exists it decides the flags (with every hardening feature on, as a
# package with `hardening=+all` gets them); without it the same flags are set here. Optimisation
# and debug information stay with the build type, and so does the file-prefix-map that only
# shortens the paths in debug information (debuggers and the sanitizers' reports find the sources
# by their full paths; the package's program has none). Stack-clash and control-flow protection
# come from dpkg-buildflags only since dpkg 1.22, so they are added wherever the compiler knows
# them and dpkg has not.
include(CheckCXXCompilerFlag)
include(CheckPIESupported)

find_program(SKZ_DPKG_BUILDFLAGS dpkg-buildflags)
mark_as_advanced(SKZ_DPKG_BUILDFLAGS)
if(SKZ_DPKG_BUILDFLAGS)
    foreach(art CPPFLAGS CXXFLAGS LDFLAGS)
        execute_process(COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
                                ${SKZ_DPKG_BUILDFLAGS} --get ${art}
                        OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
        separate_arguments(flags UNIX_COMMAND "${flags}")
        list(FILTER flags EXCLUDE REGEX "^-(g|O)|^-f(file|debug|macro)-prefix-map=")
        set(skz_${art} ${flags})
    endforeach()
else()
    set(skz_CPPFLAGS -Wdate-time -D_FORTIFY_SOURCE=2)
    set(skz_CXXFLAGS -fstack-protector-strong -Wformat -Werror=format-security)
    set(skz_LDFLAGS -Wl,-z,relro -Wl,-z,now)
endif()
foreach(flag -fstack-clash-protection -fcf-protection)
    string(MAKE_C_IDENTIFIER "SKZ_HAS${flag}" have)
    check_cxx_compiler_flag(${flag} ${have})
    if(${have} AND NOT flag IN_LIST skz_CXXFLAGS)
        list(APPEND skz_CXXFLAGS ${flag})
    endif()
endforeach()

# The fortified calls need optimisation (glibc warns without it, and the warning is an error
# here), so a Debug build goes without them. So do the builds with AddressSanitizer (the
# sanitizer build, and the fuzz build's core): the fortified __*_chk functions bypass its
# interceptors, so a write past a buffer ends in a bare "buffer overflow detected" abort that
# leaves no report, and a read past the source of a copy goes unseen.
set(skz_fortify ${skz_CPPFLAGS})
list(FILTER skz_fortify INCLUDE REGEX "_FORTIFY_SOURCE")
list(FILTER skz_CPPFLAGS EXCLUDE REGEX "_FORTIFY_SOURCE")
set(SKZ_FORTIFY 0) # for the installation test: whether the program has fortified calls
if(skz_fortify AND NOT (SKIZZOMAT_SANITIZE OR (SKIZZOMAT_FUZZ AND CMAKE_CXX_COMPILER_ID MATCHES "Clang")))
    foreach(flag IN LISTS skz_fortify)
        list(APPEND skz_CPPFLAGS "$<$<NOT:$<CONFIG:Debug>>:${flag}>")
    endforeach()
    set(SKZ_FORTIFY "$<NOT:$<CONFIG:Debug>>")
endif()

add_compile_options(${skz_CPPFLAGS} ${skz_CXXFLAGS})
add_link_options(${skz_LDFLAGS})
check_pie_supported()
set(CMAKE_POSITION_INDEPENDENT_CODE ON)
message(STATUS "Hardening: ${skz_CPPFLAGS} ${skz_CXXFLAGS} ${skz_LDFLAGS}")

# Whether a program linked here can carry the CET marker: the compiler puts the landing pads into
# our code, but the linker marks a program only when every object in it is marked, the C
# library's start files among them (Debian 12's are not). The installation test demands the
# marker where a program of one line gets it.
if(NOT DEFINED SKZ_CET_MARKE)
    set(marke OFF)
    if(SKZ_HAS_fcf_protection)
        set(dir ${CMAKE_BINARY_DIR}/CMakeFiles/skz_cet)
        file(WRITE ${dir}/leer.cpp "int main() { return 0; }\n")
        try_compile(gebaut ${dir}/build SOURCES ${dir}/leer.cpp COMPILE_DEFINITIONS -fcf-protection
                    COPY_FILE ${dir}/leer)
        if(gebaut)
            execute_process(COMMAND ${CMAKE_READELF} --notes ${dir}/leer OUTPUT_VARIABLE notes)
            if(notes MATCHES "x86 feature: IBT, SHSTK")
                set(marke ON)
            endif()
        endif()
    endif()
    set(SKZ_CET_MARKE ${marke} CACHE INTERNAL "The tool chain marks programs built for CET")
endif()
