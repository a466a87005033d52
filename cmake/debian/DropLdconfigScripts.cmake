# Run by CPack after it built the packages (CPACK_POST_BUILD_SCRIPTS): the
# postinst and postrm it wrote into a package with a shared library only run
# ldconfig, which the package's trigger does already; the package is built
# again without them. dpkg-deb keeps every file, its mode and the md5sums.
foreach(deb IN LISTS CPACK_PACKAGE_FILES)
  set(tree "${deb}.tree")
  file(REMOVE_RECURSE "${tree}")
  execute_process(COMMAND dpkg-deb -R "${deb}" "${tree}" COMMAND_ERROR_IS_FATAL ANY)
  set(dropped FALSE)
  foreach(script postinst postrm)
    set(path "${tree}/DEBIAN/${script}")
    if(EXISTS "${path}")
      file(READ "${path}" text)
      # Only a script that does nothing but call ldconfig.
      string(REGEX REPLACE "#![^\n]*\n|set -e\n|if \\[ \"\\$1\" = \"[a-z]+\" \\]; then\n|[ \t]*ldconfig\n|fi\n|\n" "" rest "${text}")
      if(rest STREQUAL "")
        file(REMOVE "${path}")
        set(dropped TRUE)
      endif()
    endif()
  endforeach()
  if(dropped)
    execute_process(COMMAND dpkg-deb --root-owner-group -b "${tree}" "${deb}" OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
  endif()
  file(REMOVE_RECURSE "${tree}")
endforeach()
