# The layers are the folders. Under src/:
#   host ports bus documents cli    the foundation: seams, ports, the bus, documents and settings,
#                                   the command-line host
#   network devices condlogic gateway dmx
#                                   each subsystem's models, protocol, documents and commands
#   print                           the printable record, drawn with Qt Gui's painter
#   sim                             the simulated installation
#   ui/<folder>                     the windows: ui/shell (main window, launcher, forms, dialogs)
#                                   and one folder per subsystem
#   app                             the two programs' main() and what only tqdt links
# Everything but print, sim, ui and app is the core, which links Qt Core, Qt Network and Qt
# SerialPort only. tqdt_check_core_includes makes the build fail when a core file includes a Qt Gui,
# Qt Widgets or Qt Print Support header, or a header of ours from print/ or ui/.

set(TQDT_CORE_FOLDERS host ports bus documents cli network devices condlogic gateway dmx)
set(TQDT_UI_FOLDERS shell network devices condlogic gateway dmx)

# The sources (.cpp and .h) of the given folders under root, in out_var.
function(tqdt_sources_of root folders out_var)
    set(found)
    foreach(folder IN LISTS folders)
        file(GLOB sources CONFIGURE_DEPENDS ${root}/${folder}/*.cpp ${root}/${folder}/*.h)
        list(APPEND found ${sources})
    endforeach()
    set(${out_var} ${found} PARENT_SCOPE)
endfunction()

# Fails the configure when a folder under root holds sources but is in none of the known folders, so
# a new folder cannot silently fall out of the build.
function(tqdt_require_known_folders root known)
    file(GLOB_RECURSE all RELATIVE ${root} CONFIGURE_DEPENDS ${root}/*.cpp ${root}/*.h)
    foreach(rel IN LISTS all)
        get_filename_component(folder ${rel} DIRECTORY)
        if(NOT folder IN_LIST known)
            message(FATAL_ERROR "${root}/${rel}: the folder '${folder}' is in no target; add it to "
                                "cmake/Layers.cmake")
        endif()
    endforeach()
endfunction()

# The header names of Qt Gui, Qt Widgets and Qt Print Support, read from the installed Qt, so that the
# rule knows every class without a hand-kept list.
function(tqdt_window_side_qt_headers out_var)
    set(names)
    foreach(module Gui Widgets PrintSupport OpenGL OpenGLWidgets)
        if(NOT TARGET Qt6::${module})
            continue()
        endif()
        get_target_property(dirs Qt6::${module} INTERFACE_INCLUDE_DIRECTORIES)
        foreach(dir IN LISTS dirs)
            if(dir MATCHES "/Qt${module}$" AND IS_DIRECTORY "${dir}")
                file(GLOB headers RELATIVE ${dir} ${dir}/Q*)
                foreach(h IN LISTS headers)
                    if(NOT h MATCHES "\\.")
                        list(APPEND names ${h})
                    endif()
                endforeach()
            endif()
        endforeach()
    endforeach()
    list(REMOVE_DUPLICATES names)
    set(${out_var} ${names} PARENT_SCOPE)
endfunction()

# Makes target depend on a check that runs whenever one of files changes and fails the build, naming
# the file and the line, when one of them includes a window-side header. The same check runs once at
# configure time.
function(tqdt_check_core_includes target files)
    tqdt_window_side_qt_headers(qt_headers)
    set(list_file ${CMAKE_BINARY_DIR}/${target}_window_headers.txt)
    file(WRITE ${list_file} "${qt_headers}")
    set(files_file ${CMAKE_BINARY_DIR}/${target}_checked_files.txt)
    file(WRITE ${files_file} "${files}")
    execute_process(COMMAND ${CMAKE_COMMAND} -DHEADERS=${list_file} -DFILES=${files_file}
                            -P ${CMAKE_SOURCE_DIR}/cmake/CheckCoreIncludes.cmake
                    RESULT_VARIABLE failed)
    if(failed)
        message(FATAL_ERROR "The core includes window-side headers (above).")
    endif()
    set(stamp ${CMAKE_BINARY_DIR}/${target}_includes.stamp)
    add_custom_command(
        OUTPUT ${stamp}
        COMMAND ${CMAKE_COMMAND} -DHEADERS=${list_file} -DFILES=${files_file}
                -P ${CMAKE_SOURCE_DIR}/cmake/CheckCoreIncludes.cmake
        COMMAND ${CMAKE_COMMAND} -E touch ${stamp}
        DEPENDS ${files} ${CMAKE_SOURCE_DIR}/cmake/CheckCoreIncludes.cmake
        COMMENT "Checking that ${target} includes no window-side header"
        VERBATIM)
    add_custom_target(${target}_layer_check DEPENDS ${stamp})
    add_dependencies(${target} ${target}_layer_check)
endfunction()
