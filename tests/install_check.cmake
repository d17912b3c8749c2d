# Installs the build into a scratch folder and checks what the desktop needs is there:
#   cmake -DBUILD_DIR=... -DSCRATCH=... -P install_check.cmake
file(REMOVE_RECURSE "${SCRATCH}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${SCRATCH}/usr"
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${result}")
endif()
foreach(path
    usr/bin/tolvex
    usr/bin/tolvex-cli
    usr/share/bash-completion/completions/tolvex-cli
    usr/lib/udev/rules.d/60-tolvex.rules
    usr/share/man/man1/tolvex-cli.1
    usr/share/applications/tolvex.desktop
    usr/share/mime/packages/tolvex.xml
    usr/share/metainfo/com.marvane.tolvex.metainfo.xml
    usr/share/man/man1/tolvex.1
    usr/share/icons/hicolor/64x64/apps/tolvex.png
    usr/share/icons/hicolor/scalable/apps/tolvex.svg
    usr/share/polkit-1/actions/com.marvane.tolvex.apply.policy)
  if(NOT EXISTS "${SCRATCH}/${path}")
    message(FATAL_ERROR "not installed: ${path}")
  endif()
endforeach()
file(READ "${SCRATCH}/usr/share/applications/tolvex.desktop" entry)
foreach(line "Name=Tolvex\n" "Exec=tolvex %f" "MimeType=application/x-tolvex-document;" "Icon=tolvex")
  string(FIND "${entry}" "${line}" at)
  if(at LESS 0)
    message(FATAL_ERROR "the desktop entry lacks '${line}'")
  endif()
endforeach()
file(READ "${SCRATCH}/usr/share/mime/packages/tolvex.xml" mime)
string(FIND "${mime}" "<glob pattern=\"*.ddc\"/>" at)
if(at LESS 0)
  message(FATAL_ERROR "the mime type does not claim *.ddc")
endif()
file(READ "${SCRATCH}/usr/lib/udev/rules.d/60-tolvex.rules" rules)
foreach(line "GROUP=\"i2c\", MODE=\"0660\"" "ATTRS{class}==\"0x03*\", TAG+=\"uaccess\""
             "ATTR{idVendor}==\"1a86\", ATTR{idProduct}==\"5512\", TAG+=\"uaccess\"")
  string(FIND "${rules}" "${line}" at)
  if(at LESS 0)
    message(FATAL_ERROR "the udev rule lacks '${line}'")
  endif()
endforeach()
# pkexec takes the action whose exec.path is the program it runs: the tolvex-cli installed here.
set(policy "${SCRATCH}/usr/share/polkit-1/actions/com.marvane.tolvex.apply.policy")
file(READ "${policy}" action)
foreach(line "<action id=\"com.marvane.tolvex.apply\">" "<allow_any>auth_admin</allow_any>"
             "<allow_inactive>auth_admin</allow_inactive>" "<allow_active>auth_admin_keep</allow_active>"
             "<annotate key=\"org.freedesktop.policykit.exec.path\">${SCRATCH}/usr/bin/tolvex-cli</annotate>")
  string(FIND "${action}" "${line}" at)
  if(at LESS 0)
    message(FATAL_ERROR "the polkit action lacks '${line}'")
  endif()
endforeach()
find_program(XMLLINT xmllint)
if(XMLLINT)
  execute_process(COMMAND "${XMLLINT}" --noout --nonet "${policy}" RESULT_VARIABLE valid ERROR_VARIABLE why)
  if(NOT valid EQUAL 0)
    message(FATAL_ERROR "the polkit action is not well-formed XML: ${why}")
  endif()
else()
  string(REGEX MATCHALL "<[a-z_]+[ >]" opened "${action}")
  string(REGEX MATCHALL "</[a-z_]+>" closed "${action}")
  list(LENGTH opened opened)
  list(LENGTH closed closed)
  if(NOT action MATCHES "^<\\?xml " OR NOT opened EQUAL closed)
    message(FATAL_ERROR "the polkit action is not well-formed XML (${opened} elements opened, ${closed} closed)")
  endif()
endif()
# The desktop knows raw EDID by its header, whatever the file is called.
find_program(UPDATE_MIME update-mime-database)
find_program(GIO gio)
if(UPDATE_MIME AND GIO)
  execute_process(COMMAND "${UPDATE_MIME}" "${SCRATCH}/usr/share/mime" OUTPUT_QUIET ERROR_QUIET)
  # Raw EDID, written by the installed command-line tool under a name that says nothing.
  execute_process(COMMAND "${SCRATCH}/usr/bin/tolvex-cli" new OUTPUT_FILE "${SCRATCH}/new.ddc")
  execute_process(COMMAND "${SCRATCH}/usr/bin/tolvex-cli" export "${SCRATCH}/new.ddc" "${SCRATCH}/monitor.dat")
  execute_process(COMMAND "${CMAKE_COMMAND}" -E env "XDG_DATA_DIRS=${SCRATCH}/usr/share"
                          "${GIO}" info -a standard::content-type "${SCRATCH}/monitor.dat"
                  OUTPUT_VARIABLE type ERROR_QUIET)
  string(FIND "${type}" "application/x-tolvex-edid" at)
  if(at LESS 0)
    message(FATAL_ERROR "a file that starts with the EDID header is not raw EDID to the desktop: ${type}")
  endif()
endif()
# The desktop's own validators, and the man page formatter with warnings on. scripts/setup.sh
# installs them; where one is missing the check says so and CTest reports it skipped.
set(missing "")
foreach(tool desktop-file-validate appstreamcli groff)
  string(MAKE_C_IDENTIFIER "${tool}" var)
  find_program(${var} ${tool})
  if(NOT ${var})
    list(APPEND missing ${tool})
  endif()
endforeach()
if(desktop_file_validate)
  execute_process(COMMAND "${desktop_file_validate}" "${SCRATCH}/usr/share/applications/tolvex.desktop"
                  RESULT_VARIABLE valid)
  if(NOT valid EQUAL 0)
    message(FATAL_ERROR "desktop-file-validate refuses the entry")
  endif()
endif()
if(appstreamcli)
  execute_process(COMMAND "${appstreamcli}" validate --no-net --pedantic
                          "${SCRATCH}/usr/share/metainfo/com.marvane.tolvex.metainfo.xml" RESULT_VARIABLE valid)
  if(NOT valid EQUAL 0)
    message(FATAL_ERROR "appstreamcli refuses the metainfo file")
  endif()
endif()
if(groff)
  foreach(page tolvex.1 tolvex-cli.1)
    execute_process(COMMAND "${groff}" -man -ww -z "${SCRATCH}/usr/share/man/man1/${page}"
                    RESULT_VARIABLE valid ERROR_VARIABLE warnings)
    if(NOT valid EQUAL 0 OR NOT warnings STREQUAL "")
      message(FATAL_ERROR "groff finds fault with ${page}: ${warnings}")
    endif()
  endforeach()
endif()
file(REMOVE_RECURSE "${SCRATCH}")
if(missing)
  message("SKIPPED: not validated, ${missing} missing (scripts/setup.sh installs them)")
endif()
