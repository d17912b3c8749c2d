# Runs inside CPack once the install rules have filled the staging folder: what Debian asks of a
# package beyond the installed files (compressed man pages, the copyright and changelog files).
set(staging "${CPACK_TEMPORARY_INSTALL_DIRECTORY}")
if(CPACK_SET_DESTDIR)
  set(staging "${staging}${CPACK_PACKAGING_INSTALL_PREFIX}")
endif()
find_program(GZIP gzip REQUIRED)
# -n: no name or time in the header, so the same files give the same package.
function(compress file)
  execute_process(COMMAND "${GZIP}" -9nf "${file}" RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "gzip ${file}: ${failed}")
  endif()
endfunction()

file(GLOB pages "${staging}/share/man/man*/*.[0-9]")
foreach(page ${pages})
  compress("${page}")
endforeach()
set(doc "${staging}/share/doc/${CPACK_PACKAGE_NAME}")
file(MAKE_DIRECTORY "${doc}")
file(COPY "${CPACK_TOLVEX_PACKAGE_DIR}/copyright" DESTINATION "${doc}")
file(COPY "${CPACK_TOLVEX_PACKAGE_DIR}/changelog" DESTINATION "${doc}")
compress("${doc}/changelog")
