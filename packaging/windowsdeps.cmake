# Run at install time with program, plugins (FOLDER=FILE), dll_dirs, objdump
# and strip set: puts the plugins into their folders and, beside the
# program, every DLL the program and the plugins import, directly or through
# another DLL, that dll_dirs hold, and strips what it ships with the
# program. What dll_dirs do not hold is the system's (KERNEL32.dll,
# USER32.dll, ...). Windows matches DLL names in any case.
cmake_policy(VERSION 3.25)
set(root "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")

foreach(dir IN LISTS dll_dirs)
    file(GLOB dlls "${dir}/*.dll")
    foreach(dll IN LISTS dlls)
        get_filename_component(name "${dll}" NAME)
        string(TOLOWER "${name}" name)
        if(NOT DEFINED dll_${name})
            set(dll_${name} "${dll}")
        endif()
    endforeach()
endforeach()

set(shipped "${root}/perforon.exe")
set(queue "${program}")
foreach(entry IN LISTS plugins)
    string(REGEX MATCH "^([^=]+)=(.*)$" _ "${entry}")
    file(INSTALL "${CMAKE_MATCH_2}" DESTINATION "${root}/${CMAKE_MATCH_1}")
    get_filename_component(name "${CMAKE_MATCH_2}" NAME)
    list(APPEND shipped "${root}/${CMAKE_MATCH_1}/${name}")
    list(APPEND queue "${CMAKE_MATCH_2}")
endforeach()

set(seen)
while(queue)
    list(POP_FRONT queue file)
    execute_process(COMMAND "${objdump}" -p "${file}" OUTPUT_VARIABLE dump COMMAND_ERROR_IS_FATAL ANY)
    string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${dump}")
    foreach(import IN LISTS imports)
        string(REPLACE "DLL Name: " "" name "${import}")
        string(TOLOWER "${name}" name)
        if(name IN_LIST seen OR NOT DEFINED dll_${name})
            continue()
        endif()
        list(APPEND seen "${name}")
        list(APPEND queue "${dll_${name}}")
        file(INSTALL "${dll_${name}}" DESTINATION "${root}")
        get_filename_component(installed "${dll_${name}}" NAME)
        list(APPEND shipped "${root}/${installed}")
    endforeach()
endwhile()

foreach(file IN LISTS shipped)
    execute_process(COMMAND "${strip}" "${file}" COMMAND_ERROR_IS_FATAL ANY)
endforeach()
