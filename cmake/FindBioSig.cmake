# BioSig, the reader of ISHNE Holter and GDF files, as the shared library:
# the static one pulls in DICOM and XML readers.
#
# Defines BioSig::BioSig.
find_path(BIOSIG_INCLUDE_DIR biosig.h)
find_library(BIOSIG_LIBRARY biosig)
include(FindPackageHandleStandardArgs)
find_package_handle_standard_args(BioSig REQUIRED_VARS BIOSIG_LIBRARY BIOSIG_INCLUDE_DIR)
if(BioSig_FOUND AND NOT TARGET BioSig::BioSig)
  add_library(BioSig::BioSig UNKNOWN IMPORTED)
  set_target_properties(BioSig::BioSig PROPERTIES
    IMPORTED_LOCATION ${BIOSIG_LIBRARY}
    INTERFACE_INCLUDE_DIRECTORIES ${BIOSIG_INCLUDE_DIR})
endif()
