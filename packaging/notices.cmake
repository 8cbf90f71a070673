# SPDX-FileCopyrightText: 2023-2026 Perforon developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The notices of everything a package ships, and its SPDX document: the last
# install step writes them into Lizenzen/ with tools/notices.py, from the
# package's list of components and over the files as they ship. Qt's part
# comes from the notices its build left in the Qt folder (tools/qtsource.sh).
find_program(PYTHON3 python3 REQUIRED)
get_filename_component(perforon_qt_notices "${Qt6_DIR}/../../../notices" ABSOLUTE)

function(perforon_notices components)
    install(CODE "execute_process(COMMAND \"${PYTHON3}\" \"${PROJECT_SOURCE_DIR}/tools/notices.py\" package
        \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}\" \"${components}\" \"${perforon_qt_notices}\" ${PROJECT_VERSION}
        COMMAND_ERROR_IS_FATAL ANY)")
endfunction()
