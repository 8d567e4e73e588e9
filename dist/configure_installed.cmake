# Run while installing, with CMAKE_INSTALL_PREFIX the prefix really installed to: fills the
# absolute paths into the launcher, the menu entry and the autostart tool. The relative install
# folders come from the configured build; one given as an absolute path is taken as it is.
function(tovrin_installed_path out dir)
    if(IS_ABSOLUTE "${dir}")
        set(${out} "${dir}" PARENT_SCOPE)
    else()
        set(${out} "${CMAKE_INSTALL_PREFIX}/${dir}" PARENT_SCOPE)
    endif()
endfunction()

tovrin_installed_path(bindir "${TOVRIN_BINDIR}")
tovrin_installed_path(libexecdir "${TOVRIN_LIBEXECDIR}")
tovrin_installed_path(datadir "${TOVRIN_DATADIR}")

set(TOVRIN_LAUNCH_PROGRAM "${libexecdir}/tovrin/tovrin")
set(TOVRIN_LAUNCH_SEEDS "${datadir}/tovrin")
set(TOVRIN_INSTALLED_LAUNCHER "${bindir}/tovrin")
# A menu entry's Exec splits at blanks: a path with anything unusual in it goes in double quotes.
# Inside them a backslash escapes " ` $ and itself, and the file's own string escaping doubles
# every backslash again; a literal % is written %%.
set(TOVRIN_DESKTOP_EXEC "${TOVRIN_INSTALLED_LAUNCHER}")
if(NOT TOVRIN_DESKTOP_EXEC MATCHES "^[A-Za-z0-9/._+-]+$")
    set(escaped "${TOVRIN_DESKTOP_EXEC}")
    string(REPLACE "\\" "\\\\\\\\" escaped "${escaped}")
    foreach(special "\"" "`" "$")
        string(REPLACE "${special}" "\\\\${special}" escaped "${escaped}")
    endforeach()
    string(REPLACE "%" "%%" escaped "${escaped}")
    set(TOVRIN_DESKTOP_EXEC "\"${escaped}\"")
endif()

# TryExec takes the path as a plain string, where only the backslash is escaped.
string(REPLACE "\\" "\\\\" TOVRIN_TRY_EXEC "${TOVRIN_INSTALLED_LAUNCHER}")

foreach(template ${TOVRIN_TEMPLATES})
    get_filename_component(name "${template}" NAME_WLE)
    configure_file("${template}" "${TOVRIN_CONFIGURED}/${name}" @ONLY)
endforeach()
