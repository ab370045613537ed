# libFLAC, the decoder of WFDB signal files in formats 508, 516 and 524.
# Debian's libflac-dev has no CMake package, so this makes the target that
# FLAC's own CMake package would.
#
# Defines FLAC::FLAC.
find_path(FLAC_INCLUDE_DIR FLAC/stream_decoder.h)
find_library(FLAC_LIBRARY FLAC)
include(FindPackageHandleStandardArgs)
find_package_handle_standard_args(FLAC REQUIRED_VARS FLAC_LIBRARY FLAC_INCLUDE_DIR)
if(FLAC_FOUND AND NOT TARGET FLAC::FLAC)
  add_library(FLAC::FLAC UNKNOWN IMPORTED)
  set_target_properties(FLAC::FLAC PROPERTIES
    IMPORTED_LOCATION ${FLAC_LIBRARY}
    INTERFACE_INCLUDE_DIRECTORIES ${FLAC_INCLUDE_DIR})
endif()
