# SPDX-FileCopyrightText: 2023-2026 Perforon developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the build under a fresh prefix and checks that the program, its
# desktop entry and its icons land where desktops look for them, and that the
# entry names the program as its window class does.
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "cmake --install failed: ${result}")
endif()

set(expected bin/perforon share/applications/perforon.desktop share/metainfo/org.perforon.Perforon.metainfo.xml
    share/man/man1/perforon.1.gz share/doc/perforon/copyright
    share/icons/hicolor/scalable/apps/perforon.svg)
foreach(size 16 24 32 48 64 128 256)
    list(APPEND expected share/icons/hicolor/${size}x${size}/apps/perforon.png)
endforeach()
foreach(file ${expected})
    if(NOT EXISTS "${PREFIX}/${file}")
        message(FATAL_ERROR "not installed: ${file}")
    endif()
endforeach()

file(READ "${PREFIX}/share/applications/perforon.desktop" entry)
foreach(line "Name=Perforon" "Exec=perforon" "Icon=perforon" "StartupWMClass=perforon")
    string(FIND "${entry}" "\n${line}\n" at)
    if(at EQUAL -1)
        message(FATAL_ERROR "the desktop entry lacks ${line}")
    endif()
endforeach()
