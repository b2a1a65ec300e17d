# Runs the Windows programs of a cross build under Wine: tests through ctest, in a Wine prefix
# of the build's own, with the Qt, plot and compiler runtime DLLs on Wine's path.
find_program(VANTOREL_WINE64 NAMES wine64 PATHS /usr/lib/wine REQUIRED)

set(dll_dirs ${QT6_INSTALL_PREFIX}/${QT6_INSTALL_BINS})
get_target_property(plot_dll QCustomPlotQt6::QCustomPlotQt6 IMPORTED_LOCATION_RELEASE)
get_filename_component(plot_dir ${plot_dll} DIRECTORY)
list(APPEND dll_dirs ${plot_dir})
foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
                    OUTPUT_VARIABLE found OUTPUT_STRIP_TRAILING_WHITESPACE)
    get_filename_component(found_dir ${found} DIRECTORY)
    list(APPEND dll_dirs ${found_dir})
endforeach()
list(REMOVE_DUPLICATES dll_dirs)
set(wine_path "")
foreach(dir ${dll_dirs})
    string(APPEND wine_path "Z:${dir};")
endforeach()

set(VANTOREL_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
set(VANTOREL_WINE_PREFIX_SCRIPT ${PROJECT_SOURCE_DIR}/packaging/windows/wine-prefix.sh)
configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/wine-run.sh.in ${CMAKE_BINARY_DIR}/wine-run.sh
               @ONLY FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
               GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run.sh)
