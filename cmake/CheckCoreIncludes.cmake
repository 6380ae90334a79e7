# cmake -DHEADERS=names.txt -DFILES=files.txt -P CheckCoreIncludes.cmake
# Fails, naming each file and line, when one of FILES includes a Qt header named in HEADERS, a header
# under QtGui/, QtWidgets/ or QtPrintSupport/, or one of our own headers from print/ or ui/.
cmake_policy(SET CMP0057 NEW) # IN_LIST
file(READ ${HEADERS} names)
file(READ ${FILES} files)
set(bad 0)
foreach(file IN LISTS files)
    file(STRINGS ${file} lines REGEX "^[ \t]*#[ \t]*include")
    foreach(line IN LISTS lines)
        set(reason)
        if(line MATCHES "<(Qt(Gui|Widgets|PrintSupport|OpenGL|OpenGLWidgets)/[^>]*)>")
            set(reason "the Qt header <${CMAKE_MATCH_1}>")
        elseif(line MATCHES "<(Q[A-Za-z0-9]+)>" AND CMAKE_MATCH_1 IN_LIST names)
            set(reason "the Qt Gui or Widgets header <${CMAKE_MATCH_1}>")
        elseif(line MATCHES "\"((ui|print)/[^\"]+)\"")
            set(reason "the window-side header \"${CMAKE_MATCH_1}\"")
        endif()
        if(reason)
            message("${file}: includes ${reason}; the core links Qt Core, Network and SerialPort only "
                    "(move the file under src/ui or src/print, or drop the include)")
            set(bad 1)
        endif()
    endforeach()
endforeach()
if(bad)
    message(FATAL_ERROR "window-side includes in the core")
endif()
