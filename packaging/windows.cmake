# The Windows zip (cpack -G ZIP in the build tree): perforon.exe, the
# platform and style plugins Qt loads at run time, and every DLL these
# import that is not the system's, found by walking their imports; all
# stripped by windowsdeps.cmake.
install(TARGETS perforon RUNTIME DESTINATION .)

install(CODE "
    set(program \"$<TARGET_FILE:perforon>\")
    set(plugins \"platforms=$<TARGET_FILE:Qt6::QWindowsIntegrationPlugin>\"
                \"styles=$<TARGET_FILE:Qt6::QWindowsVistaStylePlugin>\")
    set(dll_dirs \"${windows_dll_dirs}\")
    set(objdump \"${CMAKE_OBJDUMP}\")
    set(strip \"${CMAKE_STRIP}\")
")
install(SCRIPT windowsdeps.cmake)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME perforon)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME perforon-${PROJECT_VERSION}-win64)
include(CPack)
