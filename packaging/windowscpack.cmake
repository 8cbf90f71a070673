# SPDX-FileCopyrightText: 2023-2026 Perforon developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Read by CPack for each package it makes from the Windows build: the zip's
# and the installer's file names, and the four-part version Windows shows
# for the installer, all from the version packed (which cpack -D
# CPACK_PACKAGE_VERSION=... may set anew).
if(CPACK_GENERATOR STREQUAL "NSIS")
    set(CPACK_PACKAGE_FILE_NAME perforon-${CPACK_PACKAGE_VERSION}-win64-setup)
    string(REPLACE "." ";" parts "${CPACK_PACKAGE_VERSION}.0.0.0")
    list(SUBLIST parts 0 4 parts)
    list(JOIN parts "." CPACK_NSIS_VI_VERSION)
else()
    set(CPACK_PACKAGE_FILE_NAME perforon-${CPACK_PACKAGE_VERSION}-win64)
endif()
