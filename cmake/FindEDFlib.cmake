# EDFlib, the reader and writer of EDF and BDF files, as Debian's libedf-dev
# ships it: a header and a library without a CMake or pkg-config file of its
# own. The static library is linked, so that the programs do not depend on a
# shared EDFlib at run time.
#
# Defines EDFlib::EDFlib and EDFLIB_INCLUDE_DIR.
find_path(EDFLIB_INCLUDE_DIR edflib.h)
find_library(EDFLIB_STATIC libedf.a)
include(FindPackageHandleStandardArgs)
find_package_handle_standard_args(EDFlib REQUIRED_VARS EDFLIB_STATIC EDFLIB_INCLUDE_DIR)
if(EDFlib_FOUND AND NOT TARGET EDFlib::EDFlib)
  add_library(EDFlib::EDFlib STATIC IMPORTED)
  set_target_properties(EDFlib::EDFlib PROPERTIES
    IMPORTED_LOCATION ${EDFLIB_STATIC}
    INTERFACE_INCLUDE_DIRECTORIES ${EDFLIB_INCLUDE_DIR})
endif()
