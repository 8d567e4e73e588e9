# Where a Windows build with Qt finds, at run time, what it needs beside itself: the Qt DLLs and
# plugins of the kit, and the C++ runtime DLLs of the compiler (the ones the kit's DLLs were
# linked against). Sets
#   TOVRIN_QT_WINDOWS_BINS     the kit's folder of DLLs
#   TOVRIN_QT_WINDOWS_PLUGINS  the kit's folder of plugins
#   TOVRIN_WINDOWS_RUNTIME_DLLS  libstdc++-6.dll, libgcc_s_seh-1.dll, libwinpthread-1.dll
#   TOVRIN_WINDOWS_DLL_DIRS    every folder above that holds a DLL, for running the tests in place
get_filename_component(TOVRIN_QT_WINDOWS_BINS "${QT6_INSTALL_PREFIX}/${QT6_INSTALL_BINS}" ABSOLUTE)
get_filename_component(TOVRIN_QT_WINDOWS_PLUGINS "${QT6_INSTALL_PREFIX}/${QT6_INSTALL_PLUGINS}"
    ABSOLUTE)

set(TOVRIN_WINDOWS_RUNTIME_DLLS)
set(TOVRIN_WINDOWS_DLL_DIRS ${TOVRIN_QT_WINDOWS_BINS})
foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
    # The compiler knows where its own runtime lies, on Debian's cross compiler as in MSYS2.
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
        OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT IS_ABSOLUTE "${path}" OR NOT EXISTS "${path}")
        message(FATAL_ERROR "The compiler's runtime ${dll} was not found (${CMAKE_CXX_COMPILER})")
    endif()
    get_filename_component(path ${path} REALPATH)
    list(APPEND TOVRIN_WINDOWS_RUNTIME_DLLS ${path})
    get_filename_component(dir ${path} DIRECTORY)
    list(APPEND TOVRIN_WINDOWS_DLL_DIRS ${dir})
endforeach()
list(REMOVE_DUPLICATES TOVRIN_WINDOWS_DLL_DIRS)
