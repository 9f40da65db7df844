# Installs the build into a fresh DESTDIR under prefix /usr and checks what lands where.
# The update tools must not run for a staged install: no cache files appear in the stage.
file(REMOVE_RECURSE ${STAGE})
set(ENV{DESTDIR} ${STAGE})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix /usr
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "install failed (${result}):\n${output}")
endif()

set(root ${STAGE}/usr)
set(expected
    bin/tkv bin/tkv-render bin/tkv-fit
    share/applications/tkv.desktop
    share/mime/packages/tkv-project.xml
    share/icons/hicolor/scalable/apps/tkv.svg)
foreach(size 16 22 24 32 48 64 128 256)
    list(APPEND expected share/icons/hicolor/${size}x${size}/apps/tkv.png)
endforeach()
foreach(path ${expected})
    if(NOT EXISTS ${root}/${path})
        message(FATAL_ERROR "not installed: /usr/${path}")
    endif()
endforeach()
foreach(program tkv tkv-render tkv-fit)
    execute_process(COMMAND test -x ${root}/bin/${program} RESULT_VARIABLE executable)
    if(NOT executable EQUAL 0)
        message(FATAL_ERROR "not executable: /usr/bin/${program}")
    endif()
endforeach()

# Each PNG is the size its folder says: the width and height in the IHDR chunk.
foreach(size 16 22 24 32 48 64 128 256)
    file(READ ${root}/share/icons/hicolor/${size}x${size}/apps/tkv.png header LIMIT 24 HEX)
    string(SUBSTRING ${header} 32 16 dimensions)
    math(EXPR want "${size}" OUTPUT_FORMAT HEXADECIMAL)
    string(REPLACE "0x" "" want ${want})
    string(LENGTH ${want} length)
    math(EXPR pad "8 - ${length}")
    string(REPEAT "0" ${pad} zeros)
    if(NOT dimensions STREQUAL "${zeros}${want}${zeros}${want}")
        message(FATAL_ERROR "${size}x${size}/apps/tkv.png is not ${size} by ${size}: ${dimensions}")
    endif()
endforeach()

file(READ ${root}/share/applications/tkv.desktop entry)
foreach(line "Exec=tkv %f" "Icon=tkv" "MimeType=application/x-tkv-project;")
    string(FIND "${entry}" "${line}" at)
    if(at LESS 0)
        message(FATAL_ERROR "the desktop entry lacks ${line}")
    endif()
endforeach()
file(READ ${root}/share/mime/packages/tkv-project.xml mime)
string(FIND "${mime}" "<glob pattern=\"*.tkv\"/>" at)
if(at LESS 0)
    message(FATAL_ERROR "the MIME type does not claim *.tkv")
endif()

file(GLOB_RECURSE caches ${root}/share/mime/mime.cache ${root}/share/applications/mimeinfo.cache)
if(caches)
    message(FATAL_ERROR "a staged install updated caches: ${caches}")
endif()
file(REMOVE_RECURSE ${STAGE})
