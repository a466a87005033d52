# The distribution's hardening (what dpkg-buildflags gives with
# hardening=+all): position-independent executables, stack protector,
# fortified C library calls, and a relocation table made read-only at
# start (relro, bindnow). Fortification needs optimisation, and the
# sanitizers bring checks of their own, so those builds go without it.
option(ZORVA_HARDEN "Build with the distribution's hardening flags" ON)
if(ZORVA_HARDEN)
  include(CheckPIESupported)
  check_pie_supported(LANGUAGES CXX)
  set(CMAKE_POSITION_INDEPENDENT_CODE ON)
  add_compile_options(-fstack-protector-strong -Wformat -Werror=format-security)
  if(NOT ZORVA_SANITIZE AND NOT ZORVA_FUZZ)
    add_compile_definitions($<$<NOT:$<CONFIG:Debug>>:_FORTIFY_SOURCE=2>)
  endif()
  add_link_options(LINKER:-z,relro LINKER:-z,now)
endif()
