# SPDX-FileCopyrightText: 2023-2026 Perforon developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Run at install time with program, plugins (FOLDER=FILE), dll_dirs, objdump,
# strip and work (a folder of the build tree's) set: puts the plugins into
# their folders and, beside the program, every DLL the program and the
# plugins import, directly or through another DLL, that dll_dirs hold, as
# CMake finds them from the imports; and strips what it ships with the
# program. What dll_dirs do not hold is the system's (KERNEL32.dll,
# USER32.dll, ...) and stays unresolved; the API sets are the system's too.
cmake_policy(VERSION 3.25)
set(root "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")

set(shipped "${root}/perforon.exe")
set(modules)
foreach(entry IN LISTS plugins)
    string(REGEX MATCH "^([^=]+)=(.*)$" _ "${entry}")
    file(INSTALL "${CMAKE_MATCH_2}" DESTINATION "${root}/${CMAKE_MATCH_1}")
    get_filename_component(name "${CMAKE_MATCH_2}" NAME)
    list(APPEND shipped "${root}/${CMAKE_MATCH_1}/${name}")
    list(APPEND modules "${CMAKE_MATCH_2}")
endforeach()

# CMake looks for an imported DLL by its name as imported (3.31) or in lower
# case (3.25), and a Linux file system tells the cases apart: the DLLs of
# dll_dirs are linked into one folder by their own names and in lower case,
# and shipped under their own.
set(lower_dir "${work}/dlls")
file(REMOVE_RECURSE "${lower_dir}")
file(MAKE_DIRECTORY "${lower_dir}")
foreach(dir IN LISTS dll_dirs)
    file(GLOB dlls "${dir}/*.dll")
    foreach(dll IN LISTS dlls)
        get_filename_component(name "${dll}" NAME)
        string(TOLOWER "${name}" lower)
        foreach(link IN ITEMS "${name}" "${lower}")
            if(NOT EXISTS "${lower_dir}/${link}")
                file(CREATE_LINK "${dll}" "${lower_dir}/${link}" SYMBOLIC)
            endif()
        endforeach()
    endforeach()
endforeach()

set(CMAKE_GET_RUNTIME_DEPENDENCIES_PLATFORM windows+pe)
set(CMAKE_GET_RUNTIME_DEPENDENCIES_TOOL objdump)
set(CMAKE_GET_RUNTIME_DEPENDENCIES_COMMAND "${objdump}")
file(GET_RUNTIME_DEPENDENCIES
    EXECUTABLES "${program}"
    MODULES ${modules}
    DIRECTORIES "${lower_dir}"
    PRE_EXCLUDE_REGEXES "^api-ms-" "^ext-ms-"
    RESOLVED_DEPENDENCIES_VAR dlls
    UNRESOLVED_DEPENDENCIES_VAR system_dlls)
foreach(dll IN LISTS dlls)
    file(REAL_PATH "${dll}" dll)
    file(INSTALL "${dll}" DESTINATION "${root}")
    get_filename_component(name "${dll}" NAME)
    list(APPEND shipped "${root}/${name}")
endforeach()

foreach(file IN LISTS shipped)
    execute_process(COMMAND "${strip}" "${file}" COMMAND_ERROR_IS_FATAL ANY)
endforeach()
