# Read by cpack for each generator it runs. Without dpkg-shlibdeps CPack would
# quietly leave the computed libraries out of Depends; refuse instead.
if(CPACK_GENERATOR STREQUAL "DEB")
  find_program(QUILLOW_SHLIBDEPS dpkg-shlibdeps)
  if(NOT QUILLOW_SHLIBDEPS)
    message(FATAL_ERROR "dpkg-shlibdeps is needed to compute the package's Depends: apt-get install dpkg-dev")
  endif()
endif()
