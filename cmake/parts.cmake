# Decides which optional parts are built. Each of PENDRA_GUI, PENDRA_TESTS and
# PENDRA_BENCH is AUTO, ON or OFF in the cache; after this file it is ON or OFF
# (a normal variable), so the rest of the build just tests if(PENDRA_GUI).
#   AUTO  built when its dependency is found, else one status line says why not
#   ON    the dependency is required: configuring fails without it
#   OFF   not built

# pendra_part(VAR "what is built" DEBIAN-PACKAGE find_package arguments...)
macro(pendra_part var what debian package)
  string(TOUPPER "${${var}}" _pendra_choice)
  # A package's own status lines ("Found OpenGL", "Could NOT find XKB") are
  # noise here; --log-level=STATUS shows them again.
  set(_pendra_log_level "${CMAKE_MESSAGE_LOG_LEVEL}")
  set(CMAKE_MESSAGE_LOG_LEVEL NOTICE)
  if(_pendra_choice STREQUAL "AUTO")
    find_package(${package} ${ARGN} QUIET)
    set(CMAKE_MESSAGE_LOG_LEVEL "${_pendra_log_level}")
    if(${package}_FOUND)
      set(${var} ON)
    else()
      message(STATUS "Not building ${what}: ${package} not found "
                     "(Debian package: ${debian}; -D${var}=OFF silences this)")
      set(${var} OFF)
    endif()
  elseif(_pendra_choice)
    find_package(${package} ${ARGN} REQUIRED)
    set(CMAKE_MESSAGE_LOG_LEVEL "${_pendra_log_level}")
    set(${var} ON)
  else()
    set(CMAKE_MESSAGE_LOG_LEVEL "${_pendra_log_level}")
    set(${var} OFF)
  endif()
endmacro()

if(WIN32)
  # The Windows dialog is plain Win32: nothing to find.
  if(PENDRA_GUI STREQUAL "AUTO" OR PENDRA_GUI)
    set(PENDRA_GUI ON)
  else()
    set(PENDRA_GUI OFF)
  endif()
else()
  pendra_part(PENDRA_GUI "the pendra dialog" qt6-base-dev Qt6 COMPONENTS Widgets)
endif()

if(CMAKE_CROSSCOMPILING)
  # Tests and benchmarks run on the build machine only.
  set(PENDRA_TESTS OFF)
  set(PENDRA_BENCH OFF)
else()
  pendra_part(PENDRA_TESTS "the tests" libgtest-dev GTest)
  pendra_part(PENDRA_BENCH "the benchmarks" libbenchmark-dev benchmark)
endif()
