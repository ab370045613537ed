# RRscope as a C++ library for other projects: the static libraries of the
# layers without Qt, the headers their users call, and a CMake package, so
# that another project can write
#
#   find_package(RRscope REQUIRED)
#   target_link_libraries(app PRIVATE RRscope::pipeline)
#
# Everything here belongs to the install component "dev" (librrscope-dev).
#
# The static libraries and the CMake package go into the multiarch folder
# (lib/x86_64-linux-gnu) wherever the compiler has one, also for a build
# configured for /usr/local and packaged for /usr: GNUInstallDirs chooses it
# only for the prefix /usr, so the package would otherwise put them in
# /usr/lib. CMake's find_package searches the multiarch folder of any prefix.
if(CMAKE_LIBRARY_ARCHITECTURE AND NOT DEFINED CACHE{CMAKE_INSTALL_LIBDIR})
  set(CMAKE_INSTALL_LIBDIR lib/${CMAKE_LIBRARY_ARCHITECTURE} CACHE PATH
    "Object code libraries (LIBDIR)")
endif()
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

# The headers go under include/rrscope/ with the folders they have in the
# tree, so that "hrv/hrv_measures.h" resolves the same way installed.
set(RRSCOPE_INSTALL_INCLUDEDIR ${CMAKE_INSTALL_INCLUDEDIR}/rrscope)
set(RRSCOPE_INSTALL_CMAKEDIR ${CMAKE_INSTALL_LIBDIR}/cmake/RRscope)

# The folders whose libraries are installed; an installed header may include
# only headers of these.
set(RRSCOPE_INSTALLED_LAYERS hrv beats recordings pipeline)

# Makes `target` one of the installed libraries, RRscope::<name> for its
# users (and in the tree too, so that both spell it the same).
function(rrscope_installed_library target name)
  target_include_directories(${target} PUBLIC
    $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}>
    $<BUILD_INTERFACE:${PROJECT_BINARY_DIR}/generated>
    $<INSTALL_INTERFACE:${RRSCOPE_INSTALL_INCLUDEDIR}>)
  set_target_properties(${target} PROPERTIES EXPORT_NAME ${name})
  add_library(RRscope::${name} ALIAS ${target})
  install(TARGETS ${target} EXPORT RRscopeTargets
    ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT dev)
endfunction()

# The headers `api` (paths from the top of the tree) and every header they
# include, transitively: what a user's compiler must find, and no more.
# Fails when one of them reaches into a folder whose library is not
# installed, since the installed headers would then not compile.
function(rrscope_header_closure result)
  set(pending ${ARGN})
  set(closure)
  while(pending)
    list(POP_FRONT pending header)
    if(header IN_LIST closure)
      continue()
    endif()
    set(path ${PROJECT_SOURCE_DIR}/${header})
    if(NOT EXISTS ${path})
      message(FATAL_ERROR "The installed header ${header} does not exist")
    endif()
    list(APPEND closure ${header})
    # A change to the includes must change what is installed.
    set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${path})
    file(STRINGS ${path} includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
    foreach(line IN LISTS includes)
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]+)\".*" "\\1" included "${line}")
      if(included STREQUAL "rrscope/version.h")
        continue()  # generated, and installed on its own
      endif()
      string(REGEX REPLACE "/.*" "" folder "${included}")
      if(NOT folder IN_LIST RRSCOPE_INSTALLED_LAYERS)
        message(FATAL_ERROR "${header} includes ${included}, outside the installed libraries "
                            "(${RRSCOPE_INSTALLED_LAYERS})")
      endif()
      list(APPEND pending ${included})
    endforeach()
  endwhile()
  list(SORT closure)
  set(${result} ${closure} PARENT_SCOPE)
endfunction()

# What the users call; the closure adds what these include.
rrscope_header_closure(RRSCOPE_INSTALLED_HEADERS
  hrv/hrv_measures.h
  beats/r_peak_detector.h
  beats/artefact_correction.h
  beats/beat_scoring.h
  beats/qrs_search.h
  recordings/read_recording.h
  recordings/recording.h
  recordings/recording_error.h
  recordings/wfdb_annotations.h
  pipeline/blockwise_detection.h
  pipeline/recording_analysis.h
  pipeline/recording_reading.h)
foreach(header IN LISTS RRSCOPE_INSTALLED_HEADERS)
  get_filename_component(folder ${header} DIRECTORY)
  install(FILES ${PROJECT_SOURCE_DIR}/${header}
    DESTINATION ${RRSCOPE_INSTALL_INCLUDEDIR}/${folder} COMPONENT dev)
endforeach()
install(FILES ${PROJECT_BINARY_DIR}/generated/rrscope/version.h
  DESTINATION ${RRSCOPE_INSTALL_INCLUDEDIR}/rrscope COMPONENT dev)

install(EXPORT RRscopeTargets NAMESPACE RRscope:: DESTINATION ${RRSCOPE_INSTALL_CMAKEDIR}
  COMPONENT dev)
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/RRscopeConfig.cmake.in
  ${PROJECT_BINARY_DIR}/RRscopeConfig.cmake INSTALL_DESTINATION ${RRSCOPE_INSTALL_CMAKEDIR})
# Before 1.0 a minor version may change the API, so only the same minor
# version is compatible.
write_basic_package_version_file(${PROJECT_BINARY_DIR}/RRscopeConfigVersion.cmake
  COMPATIBILITY SameMinorVersion)
install(FILES
  ${PROJECT_BINARY_DIR}/RRscopeConfig.cmake
  ${PROJECT_BINARY_DIR}/RRscopeConfigVersion.cmake
  ${CMAKE_CURRENT_LIST_DIR}/FindEDFlib.cmake
  ${CMAKE_CURRENT_LIST_DIR}/FindBioSig.cmake
  ${CMAKE_CURRENT_LIST_DIR}/FindFLAC.cmake
  DESTINATION ${RRSCOPE_INSTALL_CMAKEDIR} COMPONENT dev)
