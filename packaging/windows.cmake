# SPDX-FileCopyrightText: 2023-2026 Perforon developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The Windows zip and installer (cpack -G ZIP, cpack -G NSIS in the build
# tree): perforon.exe with Qt's settings for it, the platform and style
# plugins Qt loads at run time, and every DLL these import that is not the
# system's, found from their imports; all stripped by windowsdeps.cmake. Then
# the notices of all of it in Lizenzen/.
install(TARGETS perforon RUNTIME DESTINATION .)
install(FILES qt.conf DESTINATION .)

install(CODE "
    set(program \"$<TARGET_FILE:perforon>\")
    set(plugins \"platforms=$<TARGET_FILE:Qt6::QWindowsIntegrationPlugin>\"
                \"styles=$<TARGET_FILE:Qt6::QModernWindowsStylePlugin>\")
    set(dll_dirs \"${windows_dll_dirs}\")
    set(objdump \"${CMAKE_OBJDUMP}\")
    set(strip \"${CMAKE_STRIP}\")
    set(work \"${CMAKE_CURRENT_BINARY_DIR}/windowsdeps\")
")
install(SCRIPT windowsdeps.cmake)
include(notices.cmake)
perforon_notices(${CMAKE_CURRENT_SOURCE_DIR}/components-windows.json)

set(CPACK_GENERATOR ZIP NSIS)
set(CPACK_PACKAGE_NAME perforon)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR ${PERFORON_VENDOR})
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_SOURCE_DIR}/windowscpack.cmake)
# The installer's script is this folder's NSIS.template.in.
list(PREPEND CMAKE_MODULE_PATH ${CMAKE_CURRENT_SOURCE_DIR})
set(CPACK_NSIS_DISPLAY_NAME Perforon)
set(CPACK_PACKAGE_INSTALL_DIRECTORY Perforon)
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY Perforon)
set(CPACK_NSIS_MUI_ICON ${PROJECT_SOURCE_DIR}/ui/icons/perforon.ico)
set(CPACK_NSIS_MUI_UNIICON ${PROJECT_SOURCE_DIR}/ui/icons/perforon.ico)
set(CPACK_NSIS_COPYRIGHT ${PERFORON_COPYRIGHT})
include(CPack)
