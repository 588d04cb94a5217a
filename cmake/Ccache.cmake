# Every compile goes through ccache where it is installed. Its cache is the user's own, outside the
# repository, so it outlives the checkout: a fresh clone in another folder, on the same machine,
# reuses what an earlier build compiled. The settings that make that work are passed with each
# compile, so that neither the build scripts nor a machine-wide ccache configuration are needed:
#  - paths under the checkout are hashed relative to it, and the build folder itself is not hashed
#    (it lands only in the debug information), so two clones share their entries;
#  - room for the plain build, the sanitized build and the fuzz targets of a few revisions, all
#    with debug information;
#  - the precompiled headers: their compile-time macros and __TIME__ are not hashed, and headers
#    generated just before a compile may come from the cache.
# A value already in the environment wins.
find_program(CCACHE_PROGRAM ccache)
if(CCACHE_PROGRAM)
  get_filename_component(corvane_repo_root "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
  set(corvane_ccache_env)
  foreach(setting
      "CCACHE_BASEDIR=${corvane_repo_root}"
      "CCACHE_NOHASHDIR=1"
      "CCACHE_MAXSIZE=20G"
      "CCACHE_SLOPPINESS=pch_defines,time_macros,include_file_mtime,include_file_ctime")
    string(REGEX REPLACE "=.*" "" name "${setting}")
    if(NOT DEFINED ENV{${name}})
      list(APPEND corvane_ccache_env "${setting}")
    endif()
  endforeach()
  set(CMAKE_CXX_COMPILER_LAUNCHER ${CMAKE_COMMAND} -E env ${corvane_ccache_env} ${CCACHE_PROGRAM})
endif()
