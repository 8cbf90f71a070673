# SPDX-FileCopyrightText: 2023-2026 Perforon developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The browser build (Emscripten, Qt for WebAssembly). Each of its programs
# takes the start-up piece and the faces the window names: Liberation's,
# from Debian's fonts-liberation, unaltered files preloaded into the page's
# own file system beside the program. The zip (cpack -G ZIP in the build
# tree) holds a folder that any static web server serves: the page, the
# program, its loader, its faces, their licence, the icon, and the notices
# of all of it in Lizenzen/.

set(web_dir ${CMAKE_CURRENT_LIST_DIR})
set(face_dir /usr/share/fonts/truetype/liberation)
set(web_faces)
foreach(face LiberationSans-Regular LiberationMono-Bold LiberationSerif-BoldItalic)
    if(NOT EXISTS ${face_dir}/${face}.ttf)
        message(FATAL_ERROR "${face_dir}/${face}.ttf is missing: the browser build needs Debian's fonts-liberation")
    endif()
    list(APPEND web_faces ${face_dir}/${face}.ttf)
endforeach()

function(perforon_in_browser target)
    target_sources(${target} PRIVATE ${web_dir}/startup.cpp)
    foreach(face IN LISTS web_faces)
        get_filename_component(name ${face} NAME)
        target_link_options(${target} PRIVATE "SHELL:--preload-file ${face}@/faces/${name}")
    endforeach()
endfunction()

perforon_in_browser(perforon)
# Screen readers read the program's windows through the page's own elements;
# the operator's input waits while a closed box's loop is waking.
target_sources(perforon PRIVATE ${web_dir}/screenreader.cpp ${web_dir}/wakeup.cpp
    ${web_dir}/inputhold.cpp)
target_link_libraries(perforon PRIVATE Qt6::GuiPrivate)

# The bare window the page benchmark sets beside Perforon.
qt_add_executable(barewindow EXCLUDE_FROM_ALL ${web_dir}/barewindow.cpp)
target_link_libraries(barewindow PRIVATE Qt6::Widgets)
perforon_in_browser(barewindow)

set(page_files
    ${web_dir}/index.html
    ${PROJECT_SOURCE_DIR}/ui/icons/perforon-32.png
    ${PROJECT_SOURCE_DIR}/ui/icons/perforon-256.png)
set(program_files
    $<TARGET_FILE_DIR:perforon>/perforon.js
    $<TARGET_FILE_DIR:perforon>/perforon.wasm
    $<TARGET_FILE_DIR:perforon>/perforon.data
    $<TARGET_FILE_DIR:perforon>/qtloader.js)
install(FILES ${page_files} ${program_files} DESTINATION .)
install(FILES ${web_dir}/FACES.txt /usr/share/common-licenses/GPL-2 DESTINATION faces)
install(FILES /usr/share/doc/fonts-liberation/copyright DESTINATION faces RENAME fonts-liberation-copyright.txt)
include(${PROJECT_SOURCE_DIR}/packaging/notices.cmake)
perforon_notices(${web_dir}/components.json)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME perforon)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME perforon-${PROJECT_VERSION}-web)
include(CPack)
