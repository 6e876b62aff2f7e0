# Installs the desktop entry (resources/app.vellora.Vellora.desktop) with Exec and TryExec
# naming the binary under this installation's prefix, which `cmake --install --prefix` may
# choose only now, and Icon naming the installed icon.
function(vellora_install_path out dir)
    if(IS_ABSOLUTE "${dir}")
        set(${out} "${dir}" PARENT_SCOPE)
    else()
        set(${out} "${CMAKE_INSTALL_PREFIX}/${dir}" PARENT_SCOPE)
    endif()
endfunction()

vellora_install_path(bindir "${VELLORA_INSTALL_BINDIR}")
vellora_install_path(datadir "${VELLORA_INSTALL_DATADIR}")
set(VELLORA_EXECUTABLE "${bindir}/vellora")
# Inside a quoted Exec argument these would need escapes of their own; no prefix has them.
if(VELLORA_EXECUTABLE MATCHES "[\"`$\\\\%\n]")
    message(FATAL_ERROR "The desktop entry can't name ${VELLORA_EXECUTABLE}: choose a prefix without \", `, $, \\ or %.")
endif()

file(READ "${VELLORA_ENTRY_TEMPLATE}" entry)
string(REGEX REPLACE "\nExec=[^\n]*" "\nExec=\"${VELLORA_EXECUTABLE}\"" entry "${entry}")
string(REGEX REPLACE "\nTryExec=[^\n]*" "\nTryExec=${VELLORA_EXECUTABLE}" entry "${entry}")
string(REGEX REPLACE "\nIcon=[^\n]*" "\nIcon=${VELLORA_BUNDLE_IDENTIFIER}" entry "${entry}")
file(WRITE "${VELLORA_ENTRY_STAGING}/${VELLORA_BUNDLE_IDENTIFIER}.desktop" "${entry}")
file(INSTALL "${VELLORA_ENTRY_STAGING}/${VELLORA_BUNDLE_IDENTIFIER}.desktop" DESTINATION "${datadir}/applications")
