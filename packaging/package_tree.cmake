# Configures the tree the Debian package is built from: installed under /usr, so that the
# programs' fallback data folder is /usr/share/morse-trainer, without tests and benchmarks.
#   cmake -DSOURCE_DIR=... -DTREE=... [-DGENERATOR=Ninja] [-DCXX=...] [-DLAUNCHER=ccache]
#         [-DMAINTAINER=...] -P package_tree.cmake
foreach(required SOURCE_DIR TREE)
  if(NOT DEFINED ${required})
    message(FATAL_ERROR "package_tree.cmake: ${required} is not set")
  endif()
endforeach()
set(arguments -S ${SOURCE_DIR} -B ${TREE} -DCMAKE_INSTALL_PREFIX=/usr
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTRAINER_TESTS=OFF -DTRAINER_BENCH=OFF)
if(GENERATOR)
  list(APPEND arguments -G ${GENERATOR})
endif()
if(CXX)
  list(APPEND arguments -DCMAKE_CXX_COMPILER=${CXX})
endif()
if(LAUNCHER)
  list(APPEND arguments -DCMAKE_CXX_COMPILER_LAUNCHER=${LAUNCHER})
endif()
if(MAINTAINER)
  list(APPEND arguments -DTRAINER_PACKAGE_MAINTAINER=${MAINTAINER})
endif()
execute_process(COMMAND ${CMAKE_COMMAND} ${arguments} RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "The package tree ${TREE} cannot be configured.")
endif()
