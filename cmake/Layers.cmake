# Sorts the sources of the program into its three layers by a rule that a new file follows without
# an edit here:
#   - everything under src/sim is the simulated installation;
#   - a file is on the window side when its name starts with "frm" or contains "Window" or
#     "Widget", or when it includes a Qt Widgets or Qt Gui header, or a header of ours that is itself
#     on the window side (followed through headers until nothing changes);
#   - a file whose name contains "Paint" draws with a painter only and is in the core;
#   - everything else is the core: Qt Core, Qt SerialPort, and Qt Gui for painting.
# The same rule sorts the test sources into model tests and window tests.

set(TQDT_UI_QT_INCLUDE
    "#include [<\"](Qt(Widgets|Gui)/|Q(Abstract[A-Za-z]*|Action|Application|Brush|CheckBox|Clipboard|Color|ComboBox|CloseEvent|Cursor|Dialog|DragEnterEvent|DropEvent|Drag|FileDialog|Font|Frame|GroupBox|GuiApplication|HBoxLayout|GridLayout|Icon|Image|KeyEvent|Label|LineEdit|ListWidget|MainWindow|Menu|MenuBar|MessageBox|MouseEvent|Painter|PainterPath|PaintEvent|Palette|Pen|PdfWriter|Pixmap|PlainTextEdit|ProgressBar|PushButton|RadioButton|Screen|ScrollArea|ScrollBar|ShowEvent|SignalSpy|SpinBox|StatusBar|TableWidget|Test|TextEdit|ToolButton|VBoxLayout|Widget)[>\"])")

# out_var: TRUE when the file's own text puts it on the window side, or it includes one of ui_headers
# ("shell/Form.h" style names).
function(tqdt_file_is_ui file ui_headers out_var)
    get_filename_component(name "${file}" NAME)
    # Drawing with a painter alone (the PDF record) needs Qt Gui but no window: it stays in the core,
    # so the command line can draw without linking widgets.
    if(name MATCHES "Paint")
        set(${out_var} FALSE PARENT_SCOPE)
        return()
    endif()
    if(name MATCHES "^frm" OR name MATCHES "Window" OR name MATCHES "Widget")
        set(${out_var} TRUE PARENT_SCOPE)
        return()
    endif()
    file(STRINGS "${file}" includes REGEX "^#include ")
    foreach(line IN LISTS includes)
        if(line MATCHES "${TQDT_UI_QT_INCLUDE}")
            set(${out_var} TRUE PARENT_SCOPE)
            return()
        endif()
        if(line MATCHES "#include \"([^\"]+)\"" AND CMAKE_MATCH_1 IN_LIST ui_headers)
            set(${out_var} TRUE PARENT_SCOPE)
            return()
        endif()
    endforeach()
    set(${out_var} FALSE PARENT_SCOPE)
endfunction()

# Splits files (absolute paths under root) into <prefix>_UI and <prefix>_CORE, and lists the
# window-side headers (relative to root, as they are included) in <prefix>_UI_HEADERS. Headers are
# followed until that list stops growing; known_ui_headers are window-side headers from elsewhere.
function(tqdt_split_layers root files known_ui_headers prefix)
    set(ui_headers ${known_ui_headers})
    set(changed TRUE)
    while(changed)
        set(changed FALSE)
        foreach(f IN LISTS files)
            if(f MATCHES "\\.h$")
                file(RELATIVE_PATH rel "${root}" "${f}")
                if(NOT rel IN_LIST ui_headers)
                    tqdt_file_is_ui("${f}" "${ui_headers}" is_ui)
                    if(is_ui)
                        list(APPEND ui_headers "${rel}")
                        set(changed TRUE)
                    endif()
                endif()
            endif()
        endforeach()
    endwhile()
    set(ui)
    set(core)
    foreach(f IN LISTS files)
        tqdt_file_is_ui("${f}" "${ui_headers}" is_ui)
        if(is_ui)
            list(APPEND ui "${f}")
        else()
            list(APPEND core "${f}")
        endif()
    endforeach()
    set(${prefix}_UI "${ui}" PARENT_SCOPE)
    set(${prefix}_CORE "${core}" PARENT_SCOPE)
    set(${prefix}_UI_HEADERS "${ui_headers}" PARENT_SCOPE)
endfunction()
